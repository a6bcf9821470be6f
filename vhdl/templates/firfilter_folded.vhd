-- firfilter: FIR filter, folded onto a few multipliers, pipelined.
--
-- Architecture: MULK multiplier lanes working side by side. A sample taken at a rising edge of clk
-- where din_valid and din_ready are both 1 enters a delay line of taps words. When the taps
-- are symmetric (h(k) = h(taps - 1 - k), as every equiripple design) the two samples of a pair
-- are added first, so the filter sums products = ceil(taps / 2) products, otherwise taps. Each
-- clock after the one that takes the sample, the lanes take the next products, one each
-- (steps = ceil(products / lanes) clocks). The products go through a pipeline with a register
-- after every stage: operands, pre-adders, multipliers (with each product's sign fix formed
-- beside them), the fixed products, a binary adder tree over the lanes one level a clock, the
-- accumulator in full precision, then the shift right by the coefficient bit length minus one
-- (floor) and the saturation into dout. The sums of the tree and the accumulator are split in
-- two halves, the high half added a clock after the low one with its carry, so that no carry
-- chain is longer than half the sum. The next sample is taken while the pipeline drains.
--   Cycles per sample: steps + 1 (din_ready is 0 while the products are issued).
--   Latency: steps + 6 + ceil(log2(lanes)) clocks from the edge that takes a sample to
--   dout_valid.
--   Sums: coefficient bits + data bits + 1 + ceil(log2(products)) bits, at most coefficient
--   bits + data bits + 9 guard bits; exact for up to 512 taps.
--   Resources: one multiplier (one DSP block up to 16 x 16 bits) and one pre-adder per lane,
--   an adder tree of the lanes' products, the accumulator, a tap table in logic, and the
--   delay line: two block-RAM copies per lane when each lane picks among 4 samples or more
--   and the copies take at most 20 blocks, otherwise taps data words in registers read
--   through a multiplexer per lane.
-- din and dout are two's complement. rst is synchronous, active high, and clears all state;
-- each sample taken gives exactly one output, marked by dout_valid high for one clock.
-- VHDL-93, ieee.numeric_std only.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity firfilter is
  port (
    clk        : in  std_logic;
    rst        : in  std_logic;
    din_valid  : in  std_logic;
    din_ready  : out std_logic;
    din        : in  std_logic_vector(DIOB-1 downto 0);
    dout_valid : out std_logic;
    dout       : out std_logic_vector(DIOB-1 downto 0));
end entity firfilter;

architecture folded of firfilter is
  constant taps        : integer := TAPN;
  constant coeff_bits  : integer := COB;
  constant data_bits   : integer := DIOB;
  constant guard_bits  : integer := ADDB;
  constant acc_bits    : integer := coeff_bits + data_bits + guard_bits;
  constant symmetric   : integer := SYMM; -- 1 when the taps equal their mirror images
  constant multipliers : integer := MULK;
  constant products    : integer := (1 - symmetric) * taps + symmetric * ((taps + 1) / 2);
  constant steps       : integer := (products + multipliers - 1) / multipliers;

  subtype coeff_word is signed(COB-1 downto 0);
  subtype data_word is signed(DIOB-1 downto 0);
  type coeff_table is array (natural range <>) of coeff_word;
  type delay_line is array (0 to taps - 1) of data_word;

  -- Tap k in coefficient bits; only the first taps entries are used.
  constant all_coeffs : coeff_table(0 to 399) := (
    "reph  0", -- h(0)
    "reph  1", -- h(1)
    "reph  2", -- h(2)
    "reph  3", -- h(3)
    "reph  4", -- h(4)
    "reph  5", -- h(5)
    "reph  6", -- h(6)
    "reph  7", -- h(7)
    "reph  8", -- h(8)
    "reph  9", -- h(9)
    "reph 10", -- h(10)
    "reph 11", -- h(11)
    "reph 12", -- h(12)
    "reph 13", -- h(13)
    "reph 14", -- h(14)
    "reph 15", -- h(15)
    "reph 16", -- h(16)
    "reph 17", -- h(17)
    "reph 18", -- h(18)
    "reph 19", -- h(19)
    "reph 20", -- h(20)
    "reph 21", -- h(21)
    "reph 22", -- h(22)
    "reph 23", -- h(23)
    "reph 24", -- h(24)
    "reph 25", -- h(25)
    "reph 26", -- h(26)
    "reph 27", -- h(27)
    "reph 28", -- h(28)
    "reph 29", -- h(29)
    "reph 30", -- h(30)
    "reph 31", -- h(31)
    "reph 32", -- h(32)
    "reph 33", -- h(33)
    "reph 34", -- h(34)
    "reph 35", -- h(35)
    "reph 36", -- h(36)
    "reph 37", -- h(37)
    "reph 38", -- h(38)
    "reph 39", -- h(39)
    "reph 40", -- h(40)
    "reph 41", -- h(41)
    "reph 42", -- h(42)
    "reph 43", -- h(43)
    "reph 44", -- h(44)
    "reph 45", -- h(45)
    "reph 46", -- h(46)
    "reph 47", -- h(47)
    "reph 48", -- h(48)
    "reph 49", -- h(49)
    "reph 50", -- h(50)
    "reph 51", -- h(51)
    "reph 52", -- h(52)
    "reph 53", -- h(53)
    "reph 54", -- h(54)
    "reph 55", -- h(55)
    "reph 56", -- h(56)
    "reph 57", -- h(57)
    "reph 58", -- h(58)
    "reph 59", -- h(59)
    "reph 60", -- h(60)
    "reph 61", -- h(61)
    "reph 62", -- h(62)
    "reph 63", -- h(63)
    "reph 64", -- h(64)
    "reph 65", -- h(65)
    "reph 66", -- h(66)
    "reph 67", -- h(67)
    "reph 68", -- h(68)
    "reph 69", -- h(69)
    "reph 70", -- h(70)
    "reph 71", -- h(71)
    "reph 72", -- h(72)
    "reph 73", -- h(73)
    "reph 74", -- h(74)
    "reph 75", -- h(75)
    "reph 76", -- h(76)
    "reph 77", -- h(77)
    "reph 78", -- h(78)
    "reph 79", -- h(79)
    "reph 80", -- h(80)
    "reph 81", -- h(81)
    "reph 82", -- h(82)
    "reph 83", -- h(83)
    "reph 84", -- h(84)
    "reph 85", -- h(85)
    "reph 86", -- h(86)
    "reph 87", -- h(87)
    "reph 88", -- h(88)
    "reph 89", -- h(89)
    "reph 90", -- h(90)
    "reph 91", -- h(91)
    "reph 92", -- h(92)
    "reph 93", -- h(93)
    "reph 94", -- h(94)
    "reph 95", -- h(95)
    "reph 96", -- h(96)
    "reph 97", -- h(97)
    "reph 98", -- h(98)
    "reph 99", -- h(99)
    "reph100", -- h(100)
    "reph101", -- h(101)
    "reph102", -- h(102)
    "reph103", -- h(103)
    "reph104", -- h(104)
    "reph105", -- h(105)
    "reph106", -- h(106)
    "reph107", -- h(107)
    "reph108", -- h(108)
    "reph109", -- h(109)
    "reph110", -- h(110)
    "reph111", -- h(111)
    "reph112", -- h(112)
    "reph113", -- h(113)
    "reph114", -- h(114)
    "reph115", -- h(115)
    "reph116", -- h(116)
    "reph117", -- h(117)
    "reph118", -- h(118)
    "reph119", -- h(119)
    "reph120", -- h(120)
    "reph121", -- h(121)
    "reph122", -- h(122)
    "reph123", -- h(123)
    "reph124", -- h(124)
    "reph125", -- h(125)
    "reph126", -- h(126)
    "reph127", -- h(127)
    "reph128", -- h(128)
    "reph129", -- h(129)
    "reph130", -- h(130)
    "reph131", -- h(131)
    "reph132", -- h(132)
    "reph133", -- h(133)
    "reph134", -- h(134)
    "reph135", -- h(135)
    "reph136", -- h(136)
    "reph137", -- h(137)
    "reph138", -- h(138)
    "reph139", -- h(139)
    "reph140", -- h(140)
    "reph141", -- h(141)
    "reph142", -- h(142)
    "reph143", -- h(143)
    "reph144", -- h(144)
    "reph145", -- h(145)
    "reph146", -- h(146)
    "reph147", -- h(147)
    "reph148", -- h(148)
    "reph149", -- h(149)
    "reph150", -- h(150)
    "reph151", -- h(151)
    "reph152", -- h(152)
    "reph153", -- h(153)
    "reph154", -- h(154)
    "reph155", -- h(155)
    "reph156", -- h(156)
    "reph157", -- h(157)
    "reph158", -- h(158)
    "reph159", -- h(159)
    "reph160", -- h(160)
    "reph161", -- h(161)
    "reph162", -- h(162)
    "reph163", -- h(163)
    "reph164", -- h(164)
    "reph165", -- h(165)
    "reph166", -- h(166)
    "reph167", -- h(167)
    "reph168", -- h(168)
    "reph169", -- h(169)
    "reph170", -- h(170)
    "reph171", -- h(171)
    "reph172", -- h(172)
    "reph173", -- h(173)
    "reph174", -- h(174)
    "reph175", -- h(175)
    "reph176", -- h(176)
    "reph177", -- h(177)
    "reph178", -- h(178)
    "reph179", -- h(179)
    "reph180", -- h(180)
    "reph181", -- h(181)
    "reph182", -- h(182)
    "reph183", -- h(183)
    "reph184", -- h(184)
    "reph185", -- h(185)
    "reph186", -- h(186)
    "reph187", -- h(187)
    "reph188", -- h(188)
    "reph189", -- h(189)
    "reph190", -- h(190)
    "reph191", -- h(191)
    "reph192", -- h(192)
    "reph193", -- h(193)
    "reph194", -- h(194)
    "reph195", -- h(195)
    "reph196", -- h(196)
    "reph197", -- h(197)
    "reph198", -- h(198)
    "reph199", -- h(199)
    "reph200", -- h(200)
    "reph201", -- h(201)
    "reph202", -- h(202)
    "reph203", -- h(203)
    "reph204", -- h(204)
    "reph205", -- h(205)
    "reph206", -- h(206)
    "reph207", -- h(207)
    "reph208", -- h(208)
    "reph209", -- h(209)
    "reph210", -- h(210)
    "reph211", -- h(211)
    "reph212", -- h(212)
    "reph213", -- h(213)
    "reph214", -- h(214)
    "reph215", -- h(215)
    "reph216", -- h(216)
    "reph217", -- h(217)
    "reph218", -- h(218)
    "reph219", -- h(219)
    "reph220", -- h(220)
    "reph221", -- h(221)
    "reph222", -- h(222)
    "reph223", -- h(223)
    "reph224", -- h(224)
    "reph225", -- h(225)
    "reph226", -- h(226)
    "reph227", -- h(227)
    "reph228", -- h(228)
    "reph229", -- h(229)
    "reph230", -- h(230)
    "reph231", -- h(231)
    "reph232", -- h(232)
    "reph233", -- h(233)
    "reph234", -- h(234)
    "reph235", -- h(235)
    "reph236", -- h(236)
    "reph237", -- h(237)
    "reph238", -- h(238)
    "reph239", -- h(239)
    "reph240", -- h(240)
    "reph241", -- h(241)
    "reph242", -- h(242)
    "reph243", -- h(243)
    "reph244", -- h(244)
    "reph245", -- h(245)
    "reph246", -- h(246)
    "reph247", -- h(247)
    "reph248", -- h(248)
    "reph249", -- h(249)
    "reph250", -- h(250)
    "reph251", -- h(251)
    "reph252", -- h(252)
    "reph253", -- h(253)
    "reph254", -- h(254)
    "reph255", -- h(255)
    "reph256", -- h(256)
    "reph257", -- h(257)
    "reph258", -- h(258)
    "reph259", -- h(259)
    "reph260", -- h(260)
    "reph261", -- h(261)
    "reph262", -- h(262)
    "reph263", -- h(263)
    "reph264", -- h(264)
    "reph265", -- h(265)
    "reph266", -- h(266)
    "reph267", -- h(267)
    "reph268", -- h(268)
    "reph269", -- h(269)
    "reph270", -- h(270)
    "reph271", -- h(271)
    "reph272", -- h(272)
    "reph273", -- h(273)
    "reph274", -- h(274)
    "reph275", -- h(275)
    "reph276", -- h(276)
    "reph277", -- h(277)
    "reph278", -- h(278)
    "reph279", -- h(279)
    "reph280", -- h(280)
    "reph281", -- h(281)
    "reph282", -- h(282)
    "reph283", -- h(283)
    "reph284", -- h(284)
    "reph285", -- h(285)
    "reph286", -- h(286)
    "reph287", -- h(287)
    "reph288", -- h(288)
    "reph289", -- h(289)
    "reph290", -- h(290)
    "reph291", -- h(291)
    "reph292", -- h(292)
    "reph293", -- h(293)
    "reph294", -- h(294)
    "reph295", -- h(295)
    "reph296", -- h(296)
    "reph297", -- h(297)
    "reph298", -- h(298)
    "reph299", -- h(299)
    "reph300", -- h(300)
    "reph301", -- h(301)
    "reph302", -- h(302)
    "reph303", -- h(303)
    "reph304", -- h(304)
    "reph305", -- h(305)
    "reph306", -- h(306)
    "reph307", -- h(307)
    "reph308", -- h(308)
    "reph309", -- h(309)
    "reph310", -- h(310)
    "reph311", -- h(311)
    "reph312", -- h(312)
    "reph313", -- h(313)
    "reph314", -- h(314)
    "reph315", -- h(315)
    "reph316", -- h(316)
    "reph317", -- h(317)
    "reph318", -- h(318)
    "reph319", -- h(319)
    "reph320", -- h(320)
    "reph321", -- h(321)
    "reph322", -- h(322)
    "reph323", -- h(323)
    "reph324", -- h(324)
    "reph325", -- h(325)
    "reph326", -- h(326)
    "reph327", -- h(327)
    "reph328", -- h(328)
    "reph329", -- h(329)
    "reph330", -- h(330)
    "reph331", -- h(331)
    "reph332", -- h(332)
    "reph333", -- h(333)
    "reph334", -- h(334)
    "reph335", -- h(335)
    "reph336", -- h(336)
    "reph337", -- h(337)
    "reph338", -- h(338)
    "reph339", -- h(339)
    "reph340", -- h(340)
    "reph341", -- h(341)
    "reph342", -- h(342)
    "reph343", -- h(343)
    "reph344", -- h(344)
    "reph345", -- h(345)
    "reph346", -- h(346)
    "reph347", -- h(347)
    "reph348", -- h(348)
    "reph349", -- h(349)
    "reph350", -- h(350)
    "reph351", -- h(351)
    "reph352", -- h(352)
    "reph353", -- h(353)
    "reph354", -- h(354)
    "reph355", -- h(355)
    "reph356", -- h(356)
    "reph357", -- h(357)
    "reph358", -- h(358)
    "reph359", -- h(359)
    "reph360", -- h(360)
    "reph361", -- h(361)
    "reph362", -- h(362)
    "reph363", -- h(363)
    "reph364", -- h(364)
    "reph365", -- h(365)
    "reph366", -- h(366)
    "reph367", -- h(367)
    "reph368", -- h(368)
    "reph369", -- h(369)
    "reph370", -- h(370)
    "reph371", -- h(371)
    "reph372", -- h(372)
    "reph373", -- h(373)
    "reph374", -- h(374)
    "reph375", -- h(375)
    "reph376", -- h(376)
    "reph377", -- h(377)
    "reph378", -- h(378)
    "reph379", -- h(379)
    "reph380", -- h(380)
    "reph381", -- h(381)
    "reph382", -- h(382)
    "reph383", -- h(383)
    "reph384", -- h(384)
    "reph385", -- h(385)
    "reph386", -- h(386)
    "reph387", -- h(387)
    "reph388", -- h(388)
    "reph389", -- h(389)
    "reph390", -- h(390)
    "reph391", -- h(391)
    "reph392", -- h(392)
    "reph393", -- h(393)
    "reph394", -- h(394)
    "reph395", -- h(395)
    "reph396", -- h(396)
    "reph397", -- h(397)
    "reph398", -- h(398)
    "reph399" -- h(399)
  );
  constant coeffs : coeff_table(0 to taps - 1) := all_coeffs(0 to taps - 1);


  -- v saturated to a width-bit word: kept when every bit from width - 1 up is a copy of the
  -- sign, otherwise the largest word of v's sign.
  function saturate(v : signed; width : natural) return signed is
    alias va : signed(v'length - 1 downto 0) is v;
    variable result : signed(width - 1 downto 0);
    variable fits : boolean;
  begin
    fits := true;
    for i in width - 1 to va'high loop
      if va(i) /= va(va'high) then
        fits := false;
      end if;
    end loop;
    if fits then
      result := va(width - 1 downto 0);
    elsif va(va'high) = '1' then
      result := (others => '0');
      result(width - 1) := '1';
    else
      result := (others => '1');
      result(width - 1) := '0';
    end if;
    return result;
  end function saturate;

  -- The lanes' operands: a pair of samples summed (or one sample), its tap, and the product
  -- split so that the multiplier sees two unsigned words of the operands' own widths (one DSP
  -- block up to 16 x 16 bits). With c the tap and x the pair, c = uc - 2^coeff_bits * sc and
  -- x = ux - 2^data_bits * sx (uc, ux the words read unsigned without x's sign bit, sc, sx the
  -- sign bits), so c * x = uc * ux - 2^low_shift * fix, where
  -- fix = sc * ux * 2^(coeff_bits - low_shift) + sx * c * 2^(data_bits - low_shift) is formed
  -- beside the multiplier from the same registers and subtracted on the next clock.
  function minimum_of(a : integer; b : integer) return integer is
  begin
    if a < b then
      return a;
    end if;
    return b;
  end function minimum_of;
  function maximum_of(a : integer; b : integer) return integer is
  begin
    if a > b then
      return a;
    end if;
    return b;
  end function maximum_of;
  constant low_shift  : integer := minimum_of(coeff_bits, data_bits);
  constant fix_bits   : integer := maximum_of(coeff_bits, data_bits) + 2;
  subtype pair_word is signed(data_bits downto 0);
  subtype raw_product is unsigned(coeff_bits + data_bits - 1 downto 0);
  subtype fix_word is signed(fix_bits - 1 downto 0);
  type data_lanes is array (0 to multipliers - 1) of data_word;
  type coeff_lanes is array (0 to multipliers - 1) of coeff_word;
  type pair_lanes is array (0 to multipliers - 1) of pair_word;
  type raw_lanes is array (0 to multipliers - 1) of raw_product;
  type fix_lanes is array (0 to multipliers - 1) of fix_word;

  -- Levels of the adder tree over the lanes and its leaf count, the next power of two.
  function tree_levels(n : integer) return integer is
    variable levels : integer := 0;
    variable width  : integer := 1;
  begin
    while width < n loop
      width := width * 2;
      levels := levels + 1;
    end loop;
    return levels;
  end function tree_levels;
  constant levels : integer := tree_levels(multipliers);
  constant leaves : integer := 2 ** levels;
  -- The sums' width: a product is at most 2^(coeff_bits + data_bits - 1) in magnitude, so the
  -- sum of a sample's products takes one bit more than that per doubling of their count, and
  -- never more than the accumulator's coefficient bits + data bits + guard bits.
  constant sum_bits : integer := minimum_of(acc_bits,
                                            coeff_bits + data_bits + 1 + tree_levels(products));
  subtype acc_word is signed(sum_bits - 1 downto 0);
  -- Every sum past the products, the adder tree's and the accumulator's, is split into a low
  -- half of low_bits bits and a high half: the low halves are added on one clock, the high halves
  -- with the low half's registered carry on the next, so that no carry chain is longer than half
  -- the accumulator. The high halves run one clock behind the low ones all the way down.
  constant low_bits  : integer := sum_bits / 2;
  constant high_bits : integer := sum_bits - low_bits;
  subtype low_word is unsigned(low_bits - 1 downto 0);
  subtype high_word is signed(high_bits - 1 downto 0);
  -- The adder tree as a heap: node i sums nodes 2 i and 2 i + 1; the leaves are the lanes'
  -- products at leaves .. 2 leaves - 1, the root is node 1. A register after every level.
  type low_tree is array (1 to 2 * leaves - 1) of low_word;
  type high_tree is array (1 to 2 * leaves - 1) of high_word;
  type high_lanes is array (0 to leaves - 1) of high_word;

  -- The pipeline: a sample is taken (idle), then its products are issued, multipliers a clock
  -- (issue); each issue passes through the operand registers (stage a), the pre-adders (stage
  -- p), the multipliers (stage m), the products' sign fix into the tree's leaves, the levels of
  -- the adder tree and the accumulator, low halves then high halves; the last one's sum is
  -- saturated into dout. The flags mark an issue as valid, the first or the last of a sample;
  -- tree_*(l) are the flags of tree level l up (its low halves).
  type state_type is (idle, issue);
  -- The delay line in block RAM, when that saves logic: each lane keeps two copies of the last
  -- depth samples (one per read port it needs: the near and the far sample of a pair), written
  -- together at the address after the newest and read at newest - j and newest - (taps - 1 - j).
  -- A RAM is not cleared by rst: the samples not yet taken since the reset are masked to zero
  -- instead. Used when each lane picks among at least 4 samples and the copies take at most 20
  -- RAM blocks of 256 x 16 bits; otherwise the delay line is a shift register.
  function ram_words(n : integer) return integer is
    variable words : integer := 2;
  begin
    while words < n loop
      words := words * 2;
    end loop;
    return words;
  end function ram_words;
  constant depth      : integer := ram_words(taps);
  constant ram_blocks : integer := ((data_bits + 15) / 16) * ((depth + 255) / 256);
  constant use_ram    : boolean := steps >= 4 and 2 * multipliers * ram_blocks <= 20;
  constant addr_bits  : integer := tree_levels(depth);
  subtype ram_address is unsigned(addr_bits - 1 downto 0);
  type ram_words_array is array (0 to depth - 1) of data_word;

  signal state   : state_type;
  signal samples : delay_line;
  signal take    : std_logic;
  signal newest  : ram_address;
  -- taken(k): x(n - k) has been taken since the reset (a row of ones that grows by one with
  -- every sample taken), so that a lane masks its RAM word with one bit, not a comparison.
  signal taken   : std_logic_vector(0 to taps - 1);
  signal ram_near, ram_far : data_lanes;
  signal near_ok, far_ok : std_logic_vector(0 to multipliers - 1);
  signal step    : integer range 0 to steps - 1;
  signal a_near, a_far : data_lanes;
  signal a_coeff : coeff_lanes;
  signal p_pair  : pair_lanes;
  signal p_coeff : coeff_lanes;
  signal m_raw   : raw_lanes;
  signal m_fix   : fix_lanes;
  signal leaf_high : high_lanes;
  signal tree_low  : low_tree;
  signal tree_high : high_tree;
  signal tree_carry : std_logic_vector(1 to leaves);
  signal acc_low   : low_word;
  signal acc_high  : high_word;
  signal acc_carry : std_logic;
  signal a_valid, a_first, a_last : std_logic;
  signal p_valid, p_first, p_last : std_logic;
  signal m_valid, m_first, m_last : std_logic;
  signal tree_valid, tree_first, tree_last : std_logic_vector(0 to levels);
  signal h_valid, h_last : std_logic;
  signal low_final  : low_word;
  signal high_final : high_word;
  -- The flags of the sums one level below the root, whose first clears the accumulator.
  signal pre_valid, pre_first : std_logic;
  signal d_last  : std_logic;
  signal result  : std_logic_vector(data_bits - 1 downto 0);
  signal valid   : std_logic;
begin
  din_ready  <= '1' when state = idle else '0';
  dout       <= result;
  dout_valid <= valid;
  take       <= '1' when state = idle and din_valid = '1' else '0';
  pre_valid  <= m_valid when levels = 0 else tree_valid(maximum_of(levels - 1, 0));
  pre_first  <= m_first when levels = 0 else tree_first(maximum_of(levels - 1, 0));

  -- The lanes' RAM copies: written together when a sample is taken; lane m reads product
  -- j = step * multipliers + m, one clock later in ram_near(m) and ram_far(m), as the shift
  -- register's lanes have theirs in a_near(m) and a_far(m).
  ram_lanes : if use_ram generate
    lane : for m in 0 to multipliers - 1 generate
      signal near_copy, far_copy : ram_words_array;
      signal near_addr, far_addr : ram_address;
    begin
      near_addr <= newest - to_unsigned((step * multipliers + m) mod depth, addr_bits);
      far_addr  <= newest - to_unsigned((taps - 1 - m - step * multipliers) mod depth, addr_bits);
      process (clk)
      begin
        if rising_edge(clk) then
          if take = '1' then
            near_copy(to_integer(newest + 1)) <= signed(din);
            far_copy(to_integer(newest + 1))  <= signed(din);
          end if;
          ram_near(m) <= near_copy(to_integer(near_addr));
          ram_far(m)  <= far_copy(to_integer(far_addr));
        end if;
      end process;
    end generate lane;
  end generate ram_lanes;

  process (clk)
    variable j     : integer;
    variable near  : data_word;
    variable far   : data_word;
    variable coeff : coeff_word;
    variable pair  : pair_word;
    variable fix   : fix_word;
    variable fix_coeff : fix_word;
    variable leaf  : acc_word;
    variable sum   : unsigned(low_bits downto 0);
    variable high  : high_word;
    variable acc   : acc_word;
  begin
    if rising_edge(clk) then
      if rst = '1' then
        state   <= idle;
        samples <= (others => (others => '0'));
        newest  <= (others => '0');
        taken   <= (others => '0');
        near_ok <= (others => '0');
        far_ok  <= (others => '0');
        step    <= 0;
        a_near  <= (others => (others => '0'));
        a_far   <= (others => (others => '0'));
        a_coeff <= (others => (others => '0'));
        p_pair  <= (others => (others => '0'));
        p_coeff <= (others => (others => '0'));
        m_raw   <= (others => (others => '0'));
        m_fix   <= (others => (others => '0'));
        leaf_high <= (others => (others => '0'));
        tree_low  <= (others => (others => '0'));
        tree_high <= (others => (others => '0'));
        tree_carry <= (others => '0');
        acc_low   <= (others => '0');
        acc_high  <= (others => '0');
        acc_carry <= '0';
        a_valid <= '0';
        a_first <= '0';
        a_last  <= '0';
        p_valid <= '0';
        p_first <= '0';
        p_last  <= '0';
        m_valid <= '0';
        m_first <= '0';
        m_last  <= '0';
        tree_valid <= (others => '0');
        tree_first <= (others => '0');
        tree_last  <= (others => '0');
        h_valid <= '0';
        h_last  <= '0';
        low_final  <= (others => '0');
        high_final <= (others => '0');
        d_last  <= '0';
        result  <= (others => '0');
        valid   <= '0';
      else
        -- Taking a sample and issuing its products. An if chain rather than a case, so that the
        -- netlist has no partial one-hot selects.
        a_valid <= '0';
        a_first <= '0';
        a_last  <= '0';
        if state = idle then
          if din_valid = '1' then
            if use_ram then
              newest <= newest + 1;
              taken <= '1' & taken(0 to taps - 2);
            else
              samples(0) <= signed(din);
              for k in 1 to taps - 1 loop
                samples(k) <= samples(k - 1);
              end loop;
            end if;
            step  <= 0;
            state <= issue;
          end if;
        else
          -- Lane m takes product j = step * multipliers + m: tap j times x(n - j), plus
          -- x(n - taps + 1 + j) when the taps are symmetric and j is not the middle tap. Each
          -- lane selects among its own steps samples only, so its multiplexer stays small.
          for m in 0 to multipliers - 1 loop
            near  := (others => '0');
            far   := (others => '0');
            coeff := (others => '0');
            near_ok(m) <= '0';
            far_ok(m)  <= '0';
            for t in 0 to steps - 1 loop
              j := t * multipliers + m;
              if step = t and j < products then
                if use_ram then
                  near_ok(m) <= taken(j);
                  if symmetric = 1 and j /= taps - 1 - j then
                    far_ok(m) <= taken(taps - 1 - j);
                  end if;
                else
                  near := samples(j);
                  if symmetric = 1 and j /= taps - 1 - j then
                    far := samples(taps - 1 - j);
                  end if;
                end if;
                coeff := coeffs(j);
              end if;
            end loop;
            a_near(m)  <= near;
            a_far(m)   <= far;
            a_coeff(m) <= coeff;
          end loop;
          a_valid <= '1';
          if step = 0 then
            a_first <= '1';
          end if;
          if step = steps - 1 then
            a_last <= '1';
            state  <= idle;
          else
            step <= step + 1;
          end if;
        end if;

        -- Stage p: the pre-adders.
        for m in 0 to multipliers - 1 loop
          near := a_near(m);
          far  := a_far(m);
          if use_ram then
            near := (others => '0');
            far  := (others => '0');
            if near_ok(m) = '1' then
              near := ram_near(m);
            end if;
            if far_ok(m) = '1' then
              far := ram_far(m);
            end if;
          end if;
          p_pair(m)  <= resize(near, data_bits + 1) + resize(far, data_bits + 1);
          p_coeff(m) <= a_coeff(m);
        end loop;
        p_valid <= a_valid;
        p_first <= a_first;
        p_last  <= a_last;

        -- Stage m: the multipliers, and beside them each product's sign fix.
        for m in 0 to multipliers - 1 loop
          pair := p_pair(m);
          m_raw(m) <= unsigned(p_coeff(m)) * unsigned(pair(data_bits - 1 downto 0));
          -- Both terms selected first, then one adder: no multiplexer after its carry chain.
          fix := (others => '0');
          fix_coeff := (others => '0');
          if p_coeff(m)(coeff_bits - 1) = '1' then
            fix := shift_left(signed(resize(unsigned(pair(data_bits - 1 downto 0)), fix_bits)),
                              coeff_bits - low_shift);
          end if;
          if pair(data_bits) = '1' then
            fix_coeff := shift_left(resize(p_coeff(m), fix_bits), data_bits - low_shift);
          end if;
          m_fix(m) <= fix + fix_coeff;
        end loop;
        m_valid <= p_valid;
        m_first <= p_first;
        m_last  <= p_last;

        -- The products into the tree's leaves: the low halves now, the high halves a clock later.
        for m in 0 to leaves - 1 loop
          leaf := (others => '0');
          if m < multipliers then
            leaf := signed(resize(m_raw(m), sum_bits)) -
                    shift_left(resize(m_fix(m), sum_bits), low_shift);
          end if;
          tree_low(leaves + m)  <= unsigned(leaf(low_bits - 1 downto 0));
          leaf_high(m)          <= leaf(sum_bits - 1 downto low_bits);
          tree_high(leaves + m) <= leaf_high(m);
        end loop;
        -- The tree levels: a node's low half with its carry, its high half a clock later.
        for i in 1 to leaves - 1 loop
          sum := resize(tree_low(2 * i), low_bits + 1) + resize(tree_low(2 * i + 1), low_bits + 1);
          tree_low(i)   <= sum(low_bits - 1 downto 0);
          tree_carry(i) <= sum(low_bits);
          tree_high(i) <= tree_high(2 * i) + tree_high(2 * i + 1) + signed'('0' & tree_carry(i));
        end loop;
        tree_valid(0) <= m_valid;
        tree_first(0) <= m_first;
        tree_last(0)  <= m_last;
        for l in 1 to levels loop
          tree_valid(l) <= tree_valid(l - 1);
          tree_first(l) <= tree_first(l - 1);
          tree_last(l)  <= tree_last(l - 1);
        end loop;

        -- The accumulator: its low half when the root's low half is valid, its high half with the
        -- carry on the next clock. Each half is cleared on the clock before a sample's first sum
        -- reaches it (a synchronous clear, no multiplexer in front of the adder); a sample's
        -- last sum is kept apart for dout.
        sum := resize(acc_low, low_bits + 1) + resize(tree_low(1), low_bits + 1);
        if tree_valid(levels) = '1' then
          acc_low   <= sum(low_bits - 1 downto 0);
          acc_carry <= sum(low_bits);
          if tree_last(levels) = '1' then
            low_final <= sum(low_bits - 1 downto 0);
          end if;
        end if;
        if pre_valid = '1' and pre_first = '1' then
          acc_low <= (others => '0');
        end if;
        h_valid <= tree_valid(levels);
        h_last  <= tree_last(levels);
        high := acc_high + tree_high(1) + signed'('0' & acc_carry);
        if h_valid = '1' then
          acc_high <= high;
          if h_last = '1' then
            high_final <= high;
          end if;
        end if;
        if tree_valid(levels) = '1' and tree_first(levels) = '1' then
          acc_high <= (others => '0');
        end if;
        d_last <= h_valid and h_last;

        valid <= d_last;
        if d_last = '1' then
          acc := high_final & signed(low_final);
          result <= std_logic_vector(saturate(shift_right(acc, coeff_bits - 1), data_bits));
        end if;
      end if;
    end if;
  end process;
end architecture folded;
