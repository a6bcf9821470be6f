-- firfilter: FIR filter, fully parallel and pipelined.
--
-- Architecture: one multiplier per product, a sample every clock. A sample taken at a rising edge
-- of clk where din_valid is 1 enters a delay line of taps words (din_ready stays 1 after reset).
-- When the taps are symmetric (h(k) = h(taps - 1 - k), as every equiripple design) the two
-- samples of a pair are added first, so there are products = ceil(taps / 2) products, otherwise
-- taps. The pipeline: pre-adders, constant-coefficient multipliers (shift-and-add networks in
-- canonic signed digits, no DSP blocks) in three register stages, two adder trees with a
-- register after every level, one for the low coefficient-bits-minus-one bits of the products and
-- one for the rest, their join, then the saturation into dout. Every stage holds one adder of at
-- most about data bits + coefficient bits / 2 + tree levels bits, and only the multipliers'
-- first level subtracts: a sum of negative digits is stored as its complement (not v = -v - 1,
-- free in the adder's lookup table) and the ones are added back once, as a constant leaf of the
-- trees. So the clock rate does not fall as taps grows; a valid bit travels alongside each
-- sample.
--   Cycles per sample: 1.
--   Latency: 6 + ceil(log2(products + 1)) clocks from the edge that takes a sample to dout_valid.
--   Accumulator: exact, the low tree coefficient bits - 1 + tree levels bits wide, the high one
--   max(data bits + 3, tree levels + 4) + tree levels.
--   Resources: products pre-adders and constant multipliers (about one adder per three
--   coefficient bits each), 2 products tree adders, taps data words of delay line and the
--   pipeline registers.
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

architecture parallel of firfilter is
  constant taps       : integer := TAPN;
  constant coeff_bits : integer := COB;
  constant data_bits  : integer := DIOB;
  constant guard_bits : integer := ADDB;
  constant symmetric  : integer := SYMM; -- 1 when the taps equal their mirror images
  constant products   : integer := (1 - symmetric) * taps + symmetric * ((taps + 1) / 2);

  -- Levels of a binary adder tree over n inputs: its leaves are the next power of two.
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
  -- The trees' leaves: the products and one constant.
  constant levels : integer := tree_levels(products + 1);
  constant leaves : integer := 2 ** levels;

  subtype coeff_word is signed(COB-1 downto 0);
  subtype data_word is signed(DIOB-1 downto 0);
  subtype pair_word is signed(DIOB downto 0);
  type coeff_table is array (natural range <>) of coeff_word;
  type delay_line is array (0 to taps - 1) of data_word;
  type pair_array is array (0 to products - 1) of pair_word;

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

  -- The constant multipliers: c * x for a constant c, as shifted copies of x, one per nonzero
  -- digit of the canonic signed-digit form of c (at most one digit in two is nonzero). No
  -- multiplier is built: the constant's digits decide the adders, and they are found once, while
  -- the design is elaborated. A slot's copies carry the sign of its first digit and the first
  -- level joins two slots by adding or subtracting; every register above holds a sum with its
  -- own sign: a first-level sum whose digits are negative is stored as its complement above its
  -- lowest digit, not v, which is -v - 2 ** low (the inversion costs nothing, it sits in the
  -- adder's own lookup table). So every adder above the first level adds, and the 2 ** low of
  -- every complement is added back once, by the constant leaf of the trees.
  constant max_digits : integer := (coeff_bits + 2) / 2;
  -- Entry i of a product's list: the i-th nonzero digit from the lowest, as +(1 + shift) when
  -- the copy is added, -(1 + shift) when its complement is; 0 when unused; the used entries
  -- come first.
  type digit_list is array (0 to max_digits - 1) of integer;
  type digit_table is array (0 to products - 1) of digit_list;

  function csd_digits return digit_table is
    variable table     : digit_table;
    variable c         : coeff_word;
    variable magnitude : unsigned(coeff_bits downto 0);
    variable carry     : integer;
    variable bit_now   : integer;
    variable bit_next  : integer;
    variable digit     : integer;
    variable used      : integer;
  begin
    for j in 0 to products - 1 loop
      table(j) := (others => 0);
      c := coeffs(j);
      if c(coeff_bits - 1) = '1' then
        magnitude := unsigned(-resize(c, coeff_bits + 1));
      else
        magnitude := unsigned(resize(c, coeff_bits + 1));
      end if;
      carry := 0;
      used := 0;
      for k in 0 to coeff_bits loop
        bit_now := 0;
        if magnitude(k) = '1' then
          bit_now := 1;
        end if;
        bit_next := 0;
        if k < coeff_bits and magnitude(k + 1) = '1' then
          bit_next := 1;
        end if;
        digit := 0;
        if bit_now + carry = 1 then
          if bit_next = 1 then
            digit := -1;
            carry := 1;
          else
            digit := 1;
            carry := 0;
          end if;
        elsif bit_now + carry = 2 then
          carry := 1;
        else
          carry := 0;
        end if;
        if c(coeff_bits - 1) = '1' then
          digit := -digit;
        end if;
        if digit /= 0 and used < max_digits then
          table(j)(used) := digit * (k + 1);
          used := used + 1;
        end if;
      end loop;
    end loop;
    return table;
  end function csd_digits;
  constant digits : digit_table := csd_digits;

  function digit_count(list : digit_list) return integer is
    variable count : integer := 0;
  begin
    for i in 0 to max_digits - 1 loop
      if list(i) /= 0 then
        count := count + 1;
      end if;
    end loop;
    return count;
  end function digit_count;

  -- A product's copies fill slots slot 0 .. 7 from its lowest digit up, one copy each (more
  -- only for a coefficient of more than 8 digits); three register levels sum the slots as a
  -- balanced tree: a heap of nodes 1 .. 15 whose leaves 8 .. 15 are the slots.
  constant slots     : integer := 8;
  constant prod_bits : integer := coeff_bits + data_bits + 2;
  subtype prod_word is signed(prod_bits - 1 downto 0);
  -- Copies per slot.
  function slot_size(list : digit_list) return integer is
  begin
    return (digit_count(list) + slots - 1) / slots;
  end function slot_size;
  function slot_first(list : digit_list; i : integer) return integer is
  begin
    return i * slot_size(list);
  end function slot_first;
  function slot_length(list : digit_list; i : integer) return integer is
    variable n : integer;
  begin
    n := digit_count(list) - slot_first(list, i);
    if n > slot_size(list) then
      n := slot_size(list);
    end if;
    if n < 0 then
      n := 0;
    end if;
    return n;
  end function slot_length;

  -- Every node's width in bits (0: the node holds no copy, its word is 0) and the shift of its
  -- lowest digit (its bits below are 0): the adder of a node starts at the higher of its two
  -- children's lowest digits and ends at its width, the bits below pass through.
  type int_heap is array (1 to 2 * slots - 1) of integer;
  type heap_table is array (0 to products - 1) of int_heap;
  function node_table(want_low : boolean) return heap_table is
    variable widths : heap_table;
    variable lows   : heap_table;
    variable list   : digit_list;
    variable n      : integer;
    variable top    : integer;
    variable a      : integer;
    variable b      : integer;
  begin
    for j in 0 to products - 1 loop
      list := digits(j);
      for i in 0 to slots - 1 loop
        n := slot_length(list, i);
        widths(j)(slots + i) := 0;
        lows(j)(slots + i) := 0;
        if n > 0 then
          lows(j)(slots + i) := abs list(slot_first(list, i)) - 1;
          top := abs list(slot_first(list, i) + n - 1) - 1;
          widths(j)(slots + i) := data_bits + 1 + top + tree_levels(n);
        end if;
      end loop;
      for i in slots - 1 downto 1 loop
        a := 2 * i;
        b := 2 * i + 1;
        if widths(j)(b) = 0 then
          widths(j)(i) := widths(j)(a);
          lows(j)(i) := lows(j)(a);
        elsif widths(j)(a) = 0 then
          widths(j)(i) := widths(j)(b);
          lows(j)(i) := lows(j)(b);
        else
          widths(j)(i) := widths(j)(a) + 1;
          if widths(j)(b) >= widths(j)(a) then
            widths(j)(i) := widths(j)(b) + 1;
          end if;
          lows(j)(i) := lows(j)(a);
          if lows(j)(b) < lows(j)(a) then
            lows(j)(i) := lows(j)(b);
          end if;
        end if;
      end loop;
      for i in 1 to 2 * slots - 1 loop
        if widths(j)(i) > prod_bits then
          widths(j)(i) := prod_bits;
        end if;
      end loop;
    end loop;
    if want_low then
      return lows;
    end if;
    return widths;
  end function node_table;
  constant node_width : heap_table := node_table(false);
  constant node_low   : heap_table := node_table(true);

  -- v cut to its low bits and sign-extended back to its length: the adder that formed it then
  -- spends no carries above them.
  function narrow(v : signed; bits : integer) return signed is
  begin
    if bits >= v'length then
      return v;
    end if;
    return shift_right(shift_left(v, v'length - bits), v'length - bits);
  end function narrow;
  function narrow(v : unsigned; bits : integer) return unsigned is
  begin
    if bits >= v'length then
      return v;
    end if;
    return shift_right(shift_left(v, v'length - bits), v'length - bits);
  end function narrow;

  -- The sign of slot i of product j: that of its first digit (0 for an empty slot).
  function slot_sign(j, i : integer) return integer is
  begin
    if slot_length(digits(j), i) = 0 then
      return 0;
    elsif digits(j)(slot_first(digits(j), i)) > 0 then
      return 1;
    end if;
    return -1;
  end function slot_sign;
  -- The sign of first-level node i (slots 2 i - 8 and 2 i - 7) of product j before it is stored.
  function first_sign(j, i : integer) return integer is
  begin
    if slot_sign(j, 2 * i - slots) /= 0 then
      return slot_sign(j, 2 * i - slots);
    end if;
    return slot_sign(j, 2 * i + 1 - slots);
  end function first_sign;

  -- Slot i of product j: its copies of x, added when their digit has the slot's sign,
  -- subtracted otherwise (only a coefficient of more than 8 digits has more than one copy a slot).
  function slot_sum(j, i : integer; x : pair_word) return prod_word is
    variable sum   : prod_word;
    variable entry : integer;
    variable copy  : prod_word;
  begin
    sum := (others => '0');
    for k in 0 to slot_length(digits(j), i) - 1 loop
      entry := digits(j)(slot_first(digits(j), i) + k);
      copy := shift_left(resize(x, prod_bits), abs entry - 1);
      if k = 0 then
        sum := copy;
      elsif (entry > 0) = (slot_sign(j, i) > 0) then
        sum := sum + copy;
      else
        sum := sum - copy;
      end if;
    end loop;
    return narrow(sum, node_width(j)(slots + i));
  end function slot_sum;

  -- Node i of product j from its children's words a and b: their sum, or for a first-level
  -- node their sum or difference as the slots' signs say, stored with its own sign.
  function node_sum(j, i : integer; a, b : prod_word) return prod_word is
    variable sum   : prod_word;
    variable split : integer;
    variable low   : integer;
  begin
    if node_width(j)(2 * i + 1) = 0 then
      sum := a;
    elsif node_width(j)(2 * i) = 0 then
      sum := b;
    else
      split := node_low(j)(2 * i);
      if node_low(j)(2 * i + 1) > split then
        split := node_low(j)(2 * i + 1);
      end if;
      sum := (others => '0');
      if split > 0 then
        sum(split - 1 downto 0) := a(split - 1 downto 0) or b(split - 1 downto 0);
      end if;
      if i < slots / 2 or slot_sign(j, 2 * i - slots) = slot_sign(j, 2 * i + 1 - slots) then
        sum(prod_bits - 1 downto split) := a(prod_bits - 1 downto split) +
                                           b(prod_bits - 1 downto split);
      else
        sum(prod_bits - 1 downto split) := a(prod_bits - 1 downto split) -
                                           b(prod_bits - 1 downto split);
      end if;
      sum := narrow(sum, node_width(j)(i));
    end if;
    if i >= slots / 2 and first_sign(j, i) < 0 then
      low := node_low(j)(i);
      sum(prod_bits - 1 downto low) := not sum(prod_bits - 1 downto low);
    end if;
    return sum;
  end function node_sum;

  -- The trees: a product word's low coefficient_bits - 1 bits (unsigned) go to the low tree,
  -- the bits above (floor, signed) to the high one; the floor of the sum shifted right by
  -- coefficient_bits - 1 is the high root plus the low root's bits above its low ones.
  constant low_bits  : integer := coeff_bits - 1;
  function larger(a, b : integer) return integer is
  begin
    if a > b then
      return a;
    end if;
    return b;
  end function larger;
  -- The high leaves hold a product's top data_bits + 3 bits or the constant's high part, below
  -- 8 products.
  constant high_leaf_bits : integer := larger(data_bits + 3, levels + 4);
  constant high_bits : integer := high_leaf_bits + levels;
  constant root_bits : integer := low_bits + levels;
  subtype low_word is unsigned(root_bits - 1 downto 0);
  subtype high_word is signed(high_bits - 1 downto 0);
  type low_array is array (1 to 2 * leaves - 1) of low_word;
  type high_array is array (1 to 2 * leaves - 1) of high_word;

  -- What the complements left out: the sum over the products of 2 ** low for each first-level
  -- node stored as its complement, at most 4 2 ** coefficient_bits a product.
  constant ones_bits : integer := coeff_bits + 12;
  function ones_total return unsigned is
    variable total : unsigned(ones_bits - 1 downto 0);
    variable one   : unsigned(ones_bits - 1 downto 0);
  begin
    total := (others => '0');
    for j in 0 to products - 1 loop
      for i in slots / 2 to slots - 1 loop
        if node_width(j)(i) /= 0 and first_sign(j, i) < 0 then
          one := (others => '0');
          one(node_low(j)(i)) := '1';
          total := total + one;
        end if;
      end loop;
    end loop;
    return total;
  end function ones_total;
  constant ones : unsigned(ones_bits - 1 downto 0) := ones_total;

  -- The height of heap node i above the leaves.
  function height(i : integer) return integer is
    variable first : integer := i;
    variable up    : integer := 0;
  begin
    while first < leaves loop
      first := 2 * first;
      up := up + 1;
    end loop;
    return up;
  end function height;

  type prod_heap is array (1 to slots - 1) of prod_word;
  type prod_table is array (0 to products - 1) of prod_heap;

  signal samples : delay_line;
  signal pairs   : pair_array;
  signal prods   : prod_table;
  signal lows    : low_array;
  signal highs   : high_array;
  signal joined  : signed(high_bits downto 0);
  -- stage_valid(i): the sample taken i clocks ago is in stage i: 0 the delay line, 1 the
  -- pre-adders, 2 to 4 the multipliers' levels (4 the products), 4 + l the trees' level l up,
  -- then the join of the roots.
  signal stage_valid : std_logic_vector(0 to levels + 5);
  signal result  : std_logic_vector(data_bits - 1 downto 0);
  signal valid   : std_logic;
  signal running : std_logic;
begin
  din_ready  <= running;
  dout       <= result;
  dout_valid <= valid;

  process (clk)
    variable pair       : pair_word;
    variable product    : prod_word;
    variable low_leaf   : low_array;
    variable high_leaf : high_array;
  begin
    if rising_edge(clk) then
      if rst = '1' then
        running     <= '0';
        samples     <= (others => (others => '0'));
        pairs       <= (others => (others => '0'));
        prods       <= (others => (others => (others => '0')));
        lows        <= (others => (others => '0'));
        highs       <= (others => (others => '0'));
        joined      <= (others => '0');
        stage_valid <= (others => '0');
        result      <= (others => '0');
        valid       <= '0';
      else
        running <= '1';
        stage_valid(0) <= din_valid and running;
        for i in 1 to levels + 5 loop
          stage_valid(i) <= stage_valid(i - 1);
        end loop;
        if din_valid = '1' and running = '1' then
          samples(0) <= signed(din);
          for k in 1 to taps - 1 loop
            samples(k) <= samples(k - 1);
          end loop;
        end if;
        -- Pre-adders: product j takes x(n - j), plus x(n - taps + 1 + j) when the taps are
        -- symmetric and j is not the middle tap.
        for j in 0 to products - 1 loop
          pair := resize(samples(j), data_bits + 1);
          if symmetric = 1 and j /= taps - 1 - j then
            pair := pair + resize(samples(taps - 1 - j), data_bits + 1);
          end if;
          pairs(j) <= pair;
        end loop;
        -- The multipliers, one level of their trees per clock.
        for j in 0 to products - 1 loop
          for i in slots / 2 to slots - 1 loop
            prods(j)(i) <= node_sum(j, i, slot_sum(j, 2 * i - slots, pairs(j)),
                                    slot_sum(j, 2 * i + 1 - slots, pairs(j)));
          end loop;
          for i in 1 to slots / 2 - 1 loop
            prods(j)(i) <= node_sum(j, i, prods(j)(2 * i), prods(j)(2 * i + 1));
          end loop;
        end loop;
        -- The trees' leaves: the products split, the constant, then zeros.
        for j in 0 to leaves - 1 loop
          low_leaf(leaves + j) := (others => '0');
          high_leaf(leaves + j) := (others => '0');
          if j < products then
            product := prods(j)(1);
            low_leaf(leaves + j) := resize(unsigned(product(low_bits - 1 downto 0)), root_bits);
            high_leaf(leaves + j) := resize(product(prod_bits - 1 downto low_bits), high_bits);
          elsif j = products then
            low_leaf(leaves + j) := resize(ones(low_bits - 1 downto 0), root_bits);
            high_leaf(leaves + j) :=
              signed(resize(ones(ones_bits - 1 downto low_bits), high_bits));
          end if;
        end loop;
        for i in 1 to leaves - 1 loop
          if 2 * i >= leaves then
            lows(i) <= narrow(low_leaf(2 * i) + low_leaf(2 * i + 1), low_bits + height(i));
            highs(i) <= narrow(high_leaf(2 * i) + high_leaf(2 * i + 1),
                               high_leaf_bits + height(i));
          else
            lows(i) <= narrow(lows(2 * i) + lows(2 * i + 1), low_bits + height(i));
            highs(i) <= narrow(highs(2 * i) + highs(2 * i + 1), high_leaf_bits + height(i));
          end if;
        end loop;
        joined <= resize(highs(1), high_bits + 1) +
                  signed(resize(shift_right(lows(1), low_bits), high_bits + 1));
        valid <= stage_valid(levels + 5);
        if stage_valid(levels + 5) = '1' then
          result <= std_logic_vector(saturate(joined, data_bits));
        end if;
      end if;
    end if;
  end process;
end architecture parallel;
