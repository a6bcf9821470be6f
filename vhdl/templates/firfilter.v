// firfilter: FIR filter, serial multiply-accumulate.
//
// Architecture: one multiplier and one accumulator. A sample taken at a rising edge of clk where
// din_valid and din_ready are both 1 enters a delay line of taps words. The filter then spends
// one clock per tap: the delay line rotates past the multiplier while a counter walks the tap
// table one tap ahead into a coefficient register, and the products are summed in full
// precision. One more clock shifts the sum right by the coefficient bit length minus one (floor)
// and saturates it into dout.
//   Cycles per sample: taps + 2 (din_ready is 0 while a sum is built).
//   Latency: taps + 1 clocks from the edge that takes a sample to dout_valid.
//   Accumulator: coefficient bits + data bits + 9 guard bits, exact for up to 512 taps.
//   Resources: one multiplier, one adder, taps data words of delay line, a tap table in logic.
// din and dout are two's complement. rst is synchronous, active high, and clears all state;
// each sample taken gives exactly one output, marked by dout_valid high for one clock.
// Verilog-2001, synthesizable, no vendor primitives.
module firfilter (
  input  wire            clk,
  input  wire            rst,
  input  wire            din_valid,
  output wire            din_ready,
  input  wire [DIOB-1:0] din,
  output wire            dout_valid,
  output wire [DIOB-1:0] dout
);
  localparam taps       = TAPN;
  localparam coeff_bits = COB;
  localparam data_bits  = DIOB;
  localparam guard_bits = ADDB;
  localparam acc_bits   = coeff_bits + data_bits + guard_bits;

  // Tap k in coefficient bits; only the first taps entries are used.
  function signed [COB-1:0] coeff;
    input integer k;
    begin
      // rom_style: the table stays in logic, as the VHDL's constant array does (yosys
      // would otherwise move it to block RAM).
      (* rom_style = "logic" *)
      case (k)
          0: coeff = COB'breph  0; // h(0)
          1: coeff = COB'breph  1; // h(1)
          2: coeff = COB'breph  2; // h(2)
          3: coeff = COB'breph  3; // h(3)
          4: coeff = COB'breph  4; // h(4)
          5: coeff = COB'breph  5; // h(5)
          6: coeff = COB'breph  6; // h(6)
          7: coeff = COB'breph  7; // h(7)
          8: coeff = COB'breph  8; // h(8)
          9: coeff = COB'breph  9; // h(9)
         10: coeff = COB'breph 10; // h(10)
         11: coeff = COB'breph 11; // h(11)
         12: coeff = COB'breph 12; // h(12)
         13: coeff = COB'breph 13; // h(13)
         14: coeff = COB'breph 14; // h(14)
         15: coeff = COB'breph 15; // h(15)
         16: coeff = COB'breph 16; // h(16)
         17: coeff = COB'breph 17; // h(17)
         18: coeff = COB'breph 18; // h(18)
         19: coeff = COB'breph 19; // h(19)
         20: coeff = COB'breph 20; // h(20)
         21: coeff = COB'breph 21; // h(21)
         22: coeff = COB'breph 22; // h(22)
         23: coeff = COB'breph 23; // h(23)
         24: coeff = COB'breph 24; // h(24)
         25: coeff = COB'breph 25; // h(25)
         26: coeff = COB'breph 26; // h(26)
         27: coeff = COB'breph 27; // h(27)
         28: coeff = COB'breph 28; // h(28)
         29: coeff = COB'breph 29; // h(29)
         30: coeff = COB'breph 30; // h(30)
         31: coeff = COB'breph 31; // h(31)
         32: coeff = COB'breph 32; // h(32)
         33: coeff = COB'breph 33; // h(33)
         34: coeff = COB'breph 34; // h(34)
         35: coeff = COB'breph 35; // h(35)
         36: coeff = COB'breph 36; // h(36)
         37: coeff = COB'breph 37; // h(37)
         38: coeff = COB'breph 38; // h(38)
         39: coeff = COB'breph 39; // h(39)
         40: coeff = COB'breph 40; // h(40)
         41: coeff = COB'breph 41; // h(41)
         42: coeff = COB'breph 42; // h(42)
         43: coeff = COB'breph 43; // h(43)
         44: coeff = COB'breph 44; // h(44)
         45: coeff = COB'breph 45; // h(45)
         46: coeff = COB'breph 46; // h(46)
         47: coeff = COB'breph 47; // h(47)
         48: coeff = COB'breph 48; // h(48)
         49: coeff = COB'breph 49; // h(49)
         50: coeff = COB'breph 50; // h(50)
         51: coeff = COB'breph 51; // h(51)
         52: coeff = COB'breph 52; // h(52)
         53: coeff = COB'breph 53; // h(53)
         54: coeff = COB'breph 54; // h(54)
         55: coeff = COB'breph 55; // h(55)
         56: coeff = COB'breph 56; // h(56)
         57: coeff = COB'breph 57; // h(57)
         58: coeff = COB'breph 58; // h(58)
         59: coeff = COB'breph 59; // h(59)
         60: coeff = COB'breph 60; // h(60)
         61: coeff = COB'breph 61; // h(61)
         62: coeff = COB'breph 62; // h(62)
         63: coeff = COB'breph 63; // h(63)
         64: coeff = COB'breph 64; // h(64)
         65: coeff = COB'breph 65; // h(65)
         66: coeff = COB'breph 66; // h(66)
         67: coeff = COB'breph 67; // h(67)
         68: coeff = COB'breph 68; // h(68)
         69: coeff = COB'breph 69; // h(69)
         70: coeff = COB'breph 70; // h(70)
         71: coeff = COB'breph 71; // h(71)
         72: coeff = COB'breph 72; // h(72)
         73: coeff = COB'breph 73; // h(73)
         74: coeff = COB'breph 74; // h(74)
         75: coeff = COB'breph 75; // h(75)
         76: coeff = COB'breph 76; // h(76)
         77: coeff = COB'breph 77; // h(77)
         78: coeff = COB'breph 78; // h(78)
         79: coeff = COB'breph 79; // h(79)
         80: coeff = COB'breph 80; // h(80)
         81: coeff = COB'breph 81; // h(81)
         82: coeff = COB'breph 82; // h(82)
         83: coeff = COB'breph 83; // h(83)
         84: coeff = COB'breph 84; // h(84)
         85: coeff = COB'breph 85; // h(85)
         86: coeff = COB'breph 86; // h(86)
         87: coeff = COB'breph 87; // h(87)
         88: coeff = COB'breph 88; // h(88)
         89: coeff = COB'breph 89; // h(89)
         90: coeff = COB'breph 90; // h(90)
         91: coeff = COB'breph 91; // h(91)
         92: coeff = COB'breph 92; // h(92)
         93: coeff = COB'breph 93; // h(93)
         94: coeff = COB'breph 94; // h(94)
         95: coeff = COB'breph 95; // h(95)
         96: coeff = COB'breph 96; // h(96)
         97: coeff = COB'breph 97; // h(97)
         98: coeff = COB'breph 98; // h(98)
         99: coeff = COB'breph 99; // h(99)
        100: coeff = COB'breph100; // h(100)
        101: coeff = COB'breph101; // h(101)
        102: coeff = COB'breph102; // h(102)
        103: coeff = COB'breph103; // h(103)
        104: coeff = COB'breph104; // h(104)
        105: coeff = COB'breph105; // h(105)
        106: coeff = COB'breph106; // h(106)
        107: coeff = COB'breph107; // h(107)
        108: coeff = COB'breph108; // h(108)
        109: coeff = COB'breph109; // h(109)
        110: coeff = COB'breph110; // h(110)
        111: coeff = COB'breph111; // h(111)
        112: coeff = COB'breph112; // h(112)
        113: coeff = COB'breph113; // h(113)
        114: coeff = COB'breph114; // h(114)
        115: coeff = COB'breph115; // h(115)
        116: coeff = COB'breph116; // h(116)
        117: coeff = COB'breph117; // h(117)
        118: coeff = COB'breph118; // h(118)
        119: coeff = COB'breph119; // h(119)
        120: coeff = COB'breph120; // h(120)
        121: coeff = COB'breph121; // h(121)
        122: coeff = COB'breph122; // h(122)
        123: coeff = COB'breph123; // h(123)
        124: coeff = COB'breph124; // h(124)
        125: coeff = COB'breph125; // h(125)
        126: coeff = COB'breph126; // h(126)
        127: coeff = COB'breph127; // h(127)
        128: coeff = COB'breph128; // h(128)
        129: coeff = COB'breph129; // h(129)
        130: coeff = COB'breph130; // h(130)
        131: coeff = COB'breph131; // h(131)
        132: coeff = COB'breph132; // h(132)
        133: coeff = COB'breph133; // h(133)
        134: coeff = COB'breph134; // h(134)
        135: coeff = COB'breph135; // h(135)
        136: coeff = COB'breph136; // h(136)
        137: coeff = COB'breph137; // h(137)
        138: coeff = COB'breph138; // h(138)
        139: coeff = COB'breph139; // h(139)
        140: coeff = COB'breph140; // h(140)
        141: coeff = COB'breph141; // h(141)
        142: coeff = COB'breph142; // h(142)
        143: coeff = COB'breph143; // h(143)
        144: coeff = COB'breph144; // h(144)
        145: coeff = COB'breph145; // h(145)
        146: coeff = COB'breph146; // h(146)
        147: coeff = COB'breph147; // h(147)
        148: coeff = COB'breph148; // h(148)
        149: coeff = COB'breph149; // h(149)
        150: coeff = COB'breph150; // h(150)
        151: coeff = COB'breph151; // h(151)
        152: coeff = COB'breph152; // h(152)
        153: coeff = COB'breph153; // h(153)
        154: coeff = COB'breph154; // h(154)
        155: coeff = COB'breph155; // h(155)
        156: coeff = COB'breph156; // h(156)
        157: coeff = COB'breph157; // h(157)
        158: coeff = COB'breph158; // h(158)
        159: coeff = COB'breph159; // h(159)
        160: coeff = COB'breph160; // h(160)
        161: coeff = COB'breph161; // h(161)
        162: coeff = COB'breph162; // h(162)
        163: coeff = COB'breph163; // h(163)
        164: coeff = COB'breph164; // h(164)
        165: coeff = COB'breph165; // h(165)
        166: coeff = COB'breph166; // h(166)
        167: coeff = COB'breph167; // h(167)
        168: coeff = COB'breph168; // h(168)
        169: coeff = COB'breph169; // h(169)
        170: coeff = COB'breph170; // h(170)
        171: coeff = COB'breph171; // h(171)
        172: coeff = COB'breph172; // h(172)
        173: coeff = COB'breph173; // h(173)
        174: coeff = COB'breph174; // h(174)
        175: coeff = COB'breph175; // h(175)
        176: coeff = COB'breph176; // h(176)
        177: coeff = COB'breph177; // h(177)
        178: coeff = COB'breph178; // h(178)
        179: coeff = COB'breph179; // h(179)
        180: coeff = COB'breph180; // h(180)
        181: coeff = COB'breph181; // h(181)
        182: coeff = COB'breph182; // h(182)
        183: coeff = COB'breph183; // h(183)
        184: coeff = COB'breph184; // h(184)
        185: coeff = COB'breph185; // h(185)
        186: coeff = COB'breph186; // h(186)
        187: coeff = COB'breph187; // h(187)
        188: coeff = COB'breph188; // h(188)
        189: coeff = COB'breph189; // h(189)
        190: coeff = COB'breph190; // h(190)
        191: coeff = COB'breph191; // h(191)
        192: coeff = COB'breph192; // h(192)
        193: coeff = COB'breph193; // h(193)
        194: coeff = COB'breph194; // h(194)
        195: coeff = COB'breph195; // h(195)
        196: coeff = COB'breph196; // h(196)
        197: coeff = COB'breph197; // h(197)
        198: coeff = COB'breph198; // h(198)
        199: coeff = COB'breph199; // h(199)
        200: coeff = COB'breph200; // h(200)
        201: coeff = COB'breph201; // h(201)
        202: coeff = COB'breph202; // h(202)
        203: coeff = COB'breph203; // h(203)
        204: coeff = COB'breph204; // h(204)
        205: coeff = COB'breph205; // h(205)
        206: coeff = COB'breph206; // h(206)
        207: coeff = COB'breph207; // h(207)
        208: coeff = COB'breph208; // h(208)
        209: coeff = COB'breph209; // h(209)
        210: coeff = COB'breph210; // h(210)
        211: coeff = COB'breph211; // h(211)
        212: coeff = COB'breph212; // h(212)
        213: coeff = COB'breph213; // h(213)
        214: coeff = COB'breph214; // h(214)
        215: coeff = COB'breph215; // h(215)
        216: coeff = COB'breph216; // h(216)
        217: coeff = COB'breph217; // h(217)
        218: coeff = COB'breph218; // h(218)
        219: coeff = COB'breph219; // h(219)
        220: coeff = COB'breph220; // h(220)
        221: coeff = COB'breph221; // h(221)
        222: coeff = COB'breph222; // h(222)
        223: coeff = COB'breph223; // h(223)
        224: coeff = COB'breph224; // h(224)
        225: coeff = COB'breph225; // h(225)
        226: coeff = COB'breph226; // h(226)
        227: coeff = COB'breph227; // h(227)
        228: coeff = COB'breph228; // h(228)
        229: coeff = COB'breph229; // h(229)
        230: coeff = COB'breph230; // h(230)
        231: coeff = COB'breph231; // h(231)
        232: coeff = COB'breph232; // h(232)
        233: coeff = COB'breph233; // h(233)
        234: coeff = COB'breph234; // h(234)
        235: coeff = COB'breph235; // h(235)
        236: coeff = COB'breph236; // h(236)
        237: coeff = COB'breph237; // h(237)
        238: coeff = COB'breph238; // h(238)
        239: coeff = COB'breph239; // h(239)
        240: coeff = COB'breph240; // h(240)
        241: coeff = COB'breph241; // h(241)
        242: coeff = COB'breph242; // h(242)
        243: coeff = COB'breph243; // h(243)
        244: coeff = COB'breph244; // h(244)
        245: coeff = COB'breph245; // h(245)
        246: coeff = COB'breph246; // h(246)
        247: coeff = COB'breph247; // h(247)
        248: coeff = COB'breph248; // h(248)
        249: coeff = COB'breph249; // h(249)
        250: coeff = COB'breph250; // h(250)
        251: coeff = COB'breph251; // h(251)
        252: coeff = COB'breph252; // h(252)
        253: coeff = COB'breph253; // h(253)
        254: coeff = COB'breph254; // h(254)
        255: coeff = COB'breph255; // h(255)
        256: coeff = COB'breph256; // h(256)
        257: coeff = COB'breph257; // h(257)
        258: coeff = COB'breph258; // h(258)
        259: coeff = COB'breph259; // h(259)
        260: coeff = COB'breph260; // h(260)
        261: coeff = COB'breph261; // h(261)
        262: coeff = COB'breph262; // h(262)
        263: coeff = COB'breph263; // h(263)
        264: coeff = COB'breph264; // h(264)
        265: coeff = COB'breph265; // h(265)
        266: coeff = COB'breph266; // h(266)
        267: coeff = COB'breph267; // h(267)
        268: coeff = COB'breph268; // h(268)
        269: coeff = COB'breph269; // h(269)
        270: coeff = COB'breph270; // h(270)
        271: coeff = COB'breph271; // h(271)
        272: coeff = COB'breph272; // h(272)
        273: coeff = COB'breph273; // h(273)
        274: coeff = COB'breph274; // h(274)
        275: coeff = COB'breph275; // h(275)
        276: coeff = COB'breph276; // h(276)
        277: coeff = COB'breph277; // h(277)
        278: coeff = COB'breph278; // h(278)
        279: coeff = COB'breph279; // h(279)
        280: coeff = COB'breph280; // h(280)
        281: coeff = COB'breph281; // h(281)
        282: coeff = COB'breph282; // h(282)
        283: coeff = COB'breph283; // h(283)
        284: coeff = COB'breph284; // h(284)
        285: coeff = COB'breph285; // h(285)
        286: coeff = COB'breph286; // h(286)
        287: coeff = COB'breph287; // h(287)
        288: coeff = COB'breph288; // h(288)
        289: coeff = COB'breph289; // h(289)
        290: coeff = COB'breph290; // h(290)
        291: coeff = COB'breph291; // h(291)
        292: coeff = COB'breph292; // h(292)
        293: coeff = COB'breph293; // h(293)
        294: coeff = COB'breph294; // h(294)
        295: coeff = COB'breph295; // h(295)
        296: coeff = COB'breph296; // h(296)
        297: coeff = COB'breph297; // h(297)
        298: coeff = COB'breph298; // h(298)
        299: coeff = COB'breph299; // h(299)
        300: coeff = COB'breph300; // h(300)
        301: coeff = COB'breph301; // h(301)
        302: coeff = COB'breph302; // h(302)
        303: coeff = COB'breph303; // h(303)
        304: coeff = COB'breph304; // h(304)
        305: coeff = COB'breph305; // h(305)
        306: coeff = COB'breph306; // h(306)
        307: coeff = COB'breph307; // h(307)
        308: coeff = COB'breph308; // h(308)
        309: coeff = COB'breph309; // h(309)
        310: coeff = COB'breph310; // h(310)
        311: coeff = COB'breph311; // h(311)
        312: coeff = COB'breph312; // h(312)
        313: coeff = COB'breph313; // h(313)
        314: coeff = COB'breph314; // h(314)
        315: coeff = COB'breph315; // h(315)
        316: coeff = COB'breph316; // h(316)
        317: coeff = COB'breph317; // h(317)
        318: coeff = COB'breph318; // h(318)
        319: coeff = COB'breph319; // h(319)
        320: coeff = COB'breph320; // h(320)
        321: coeff = COB'breph321; // h(321)
        322: coeff = COB'breph322; // h(322)
        323: coeff = COB'breph323; // h(323)
        324: coeff = COB'breph324; // h(324)
        325: coeff = COB'breph325; // h(325)
        326: coeff = COB'breph326; // h(326)
        327: coeff = COB'breph327; // h(327)
        328: coeff = COB'breph328; // h(328)
        329: coeff = COB'breph329; // h(329)
        330: coeff = COB'breph330; // h(330)
        331: coeff = COB'breph331; // h(331)
        332: coeff = COB'breph332; // h(332)
        333: coeff = COB'breph333; // h(333)
        334: coeff = COB'breph334; // h(334)
        335: coeff = COB'breph335; // h(335)
        336: coeff = COB'breph336; // h(336)
        337: coeff = COB'breph337; // h(337)
        338: coeff = COB'breph338; // h(338)
        339: coeff = COB'breph339; // h(339)
        340: coeff = COB'breph340; // h(340)
        341: coeff = COB'breph341; // h(341)
        342: coeff = COB'breph342; // h(342)
        343: coeff = COB'breph343; // h(343)
        344: coeff = COB'breph344; // h(344)
        345: coeff = COB'breph345; // h(345)
        346: coeff = COB'breph346; // h(346)
        347: coeff = COB'breph347; // h(347)
        348: coeff = COB'breph348; // h(348)
        349: coeff = COB'breph349; // h(349)
        350: coeff = COB'breph350; // h(350)
        351: coeff = COB'breph351; // h(351)
        352: coeff = COB'breph352; // h(352)
        353: coeff = COB'breph353; // h(353)
        354: coeff = COB'breph354; // h(354)
        355: coeff = COB'breph355; // h(355)
        356: coeff = COB'breph356; // h(356)
        357: coeff = COB'breph357; // h(357)
        358: coeff = COB'breph358; // h(358)
        359: coeff = COB'breph359; // h(359)
        360: coeff = COB'breph360; // h(360)
        361: coeff = COB'breph361; // h(361)
        362: coeff = COB'breph362; // h(362)
        363: coeff = COB'breph363; // h(363)
        364: coeff = COB'breph364; // h(364)
        365: coeff = COB'breph365; // h(365)
        366: coeff = COB'breph366; // h(366)
        367: coeff = COB'breph367; // h(367)
        368: coeff = COB'breph368; // h(368)
        369: coeff = COB'breph369; // h(369)
        370: coeff = COB'breph370; // h(370)
        371: coeff = COB'breph371; // h(371)
        372: coeff = COB'breph372; // h(372)
        373: coeff = COB'breph373; // h(373)
        374: coeff = COB'breph374; // h(374)
        375: coeff = COB'breph375; // h(375)
        376: coeff = COB'breph376; // h(376)
        377: coeff = COB'breph377; // h(377)
        378: coeff = COB'breph378; // h(378)
        379: coeff = COB'breph379; // h(379)
        380: coeff = COB'breph380; // h(380)
        381: coeff = COB'breph381; // h(381)
        382: coeff = COB'breph382; // h(382)
        383: coeff = COB'breph383; // h(383)
        384: coeff = COB'breph384; // h(384)
        385: coeff = COB'breph385; // h(385)
        386: coeff = COB'breph386; // h(386)
        387: coeff = COB'breph387; // h(387)
        388: coeff = COB'breph388; // h(388)
        389: coeff = COB'breph389; // h(389)
        390: coeff = COB'breph390; // h(390)
        391: coeff = COB'breph391; // h(391)
        392: coeff = COB'breph392; // h(392)
        393: coeff = COB'breph393; // h(393)
        394: coeff = COB'breph394; // h(394)
        395: coeff = COB'breph395; // h(395)
        396: coeff = COB'breph396; // h(396)
        397: coeff = COB'breph397; // h(397)
        398: coeff = COB'breph398; // h(398)
        399: coeff = COB'breph399; // h(399)
        default: coeff = {COB{1'b0}};
      endcase
    end
  endfunction

  // Bits of an unsigned counter that holds 0 .. n - 1 (at least one).
  function integer counter_bits;
    input integer n;
    integer width;
    begin
      width = 1;
      while ((1 << width) < n)
        width = width + 1;
      counter_bits = width;
    end
  endfunction

  // v shifted right by the coefficient bit length minus one (floor) and saturated to a data word:
  // kept when every bit from data_bits - 1 up is a copy of the sign, otherwise the largest word
  // of v's sign.
  function [data_bits-1:0] scale;
    input signed [acc_bits-1:0] v;
    reg signed [acc_bits-1:0] shifted;
    begin
      shifted = v >>> (coeff_bits - 1);
      if (shifted[acc_bits-1:data_bits-1] == {(acc_bits - data_bits + 1){shifted[acc_bits-1]}})
        scale = shifted[data_bits-1:0];
      else
        scale = {shifted[acc_bits-1], {(data_bits - 1){~shifted[acc_bits-1]}}};
    end
  endfunction

  // The fetch counter runs one tap ahead of the product and reaches taps.
  localparam tap_bits = counter_bits(taps + 1);
  localparam [1:0] IDLE = 2'd0, ACCUMULATE = 2'd1, FINISH = 2'd2;

  reg  [1:0]                   state;
  // Word k of the delay line, samples[k * data_bits +: data_bits], holds x(n - k).
  reg  [taps*data_bits-1:0]    samples;
  // tap_coeff holds the tap the front word is multiplied by: read from the table a clock ahead
  // at fetch, so that the table's logic lies between two registers and not in front of the
  // multiplier. fetch is 0 outside a sum (tap_coeff then holds tap 0 for the next one) and
  // tap + 1 while tap is multiplied. last marks the clock of the last product.
  reg  [tap_bits-1:0]          fetch;
  reg  signed [coeff_bits-1:0] tap_coeff;
  reg                          last;
  reg  signed [acc_bits-1:0]   acc;
  reg  [data_bits-1:0]         result;
  reg                          valid;
  integer k;

  // The fetch counter widened to the integer the tap table takes.
  wire [31:0]                            fetch_index = {{(32 - tap_bits){1'b0}}, fetch};
  wire signed [data_bits-1:0]            front = samples[data_bits-1:0];
  wire signed [coeff_bits+data_bits-1:0] product = tap_coeff * front;

  assign din_ready  = state == IDLE;
  assign dout       = result;
  assign dout_valid = valid;

  always @(posedge clk)
    tap_coeff <= coeff(fetch_index);

  always @(posedge clk) begin
    valid <= 1'b0;
    if (rst) begin
      state  <= IDLE;
      for (k = 0; k < taps; k = k + 1)
        samples[k*data_bits +: data_bits] <= {data_bits{1'b0}};
      fetch  <= {tap_bits{1'b0}};
      last   <= 1'b0;
      acc    <= {acc_bits{1'b0}};
      result <= {data_bits{1'b0}};
    end else if (state == IDLE) begin
      if (din_valid) begin
        for (k = taps - 1; k > 0; k = k - 1)
          samples[k*data_bits +: data_bits] <= samples[(k-1)*data_bits +: data_bits];
        samples[data_bits-1:0] <= din;
        fetch <= {tap_bits{1'b0}} + 1'b1;
        last  <= taps == 1;
        acc   <= {acc_bits{1'b0}};
        state <= ACCUMULATE;
      end
    end else if (state == ACCUMULATE) begin
      // The front word holds x(n - fetch + 1); rotating brings the next one to the front and,
      // after taps clocks, the line back to its order.
      acc <= acc + {{guard_bits{product[coeff_bits+data_bits-1]}}, product};
      for (k = 0; k < taps - 1; k = k + 1)
        samples[k*data_bits +: data_bits] <= samples[(k+1)*data_bits +: data_bits];
      samples[(taps-1)*data_bits +: data_bits] <= front;
      last <= fetch_index == taps - 1;
      if (last) begin
        fetch <= {tap_bits{1'b0}};
        state <= FINISH;
      end else begin
        fetch <= fetch + 1'b1;
      end
    end else begin
      result <= scale(acc);
      valid  <= 1'b1;
      state  <= IDLE;
    end
  end
endmodule
