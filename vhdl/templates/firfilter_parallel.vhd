-- firfilter: FIR filter, fully parallel and pipelined.
--
-- Architecture: one multiplier per product, a sample every clock. A sample taken at a rising edge
-- of clk where din_valid is 1 enters a delay line of taps words (din_ready stays 1 after reset).
-- When the taps are symmetric (h(k) = h(taps - 1 - k), as every equiripple design) the two
-- samples of a pair are added first, so there are products = ceil(taps / 2) products, otherwise
-- taps. The pipeline: pre-adders, constant-coefficient multipliers (shift-and-add networks in
-- canonic signed digits, no DSP blocks) in two register stages, the halves of each
-- coefficient's digits then their sum, a binary adder tree with a register after every level,
-- then the shift right by the coefficient bit length minus one (floor) and the saturation into
-- dout. Every stage holds one adder, or two narrow ones in a half, so the clock rate does not
-- fall as taps grows; a valid bit travels alongside each sample.
--   Cycles per sample: 1.
--   Latency: 4 + ceil(log2(products)) clocks from the edge that takes a sample to dout_valid.
--   Accumulator: coefficient bits + data bits + 9 guard bits, exact for up to 512 taps.
--   Resources: products pre-adders and constant multipliers (about one adder per three
--   coefficient bits each), products - 1 tree adders, taps data words of delay line and the
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
  constant acc_bits   : integer := coeff_bits + data_bits + guard_bits;
  constant symmetric  : integer := SYMM; -- 1 when the taps equal their mirror images
  constant products   : integer := (1 - symmetric) * taps + symmetric * ((taps + 1) / 2);

  -- Levels of the adder tree and its leaf count, the next power of two from products.
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
  constant levels : integer := tree_levels(products);
  constant leaves : integer := 2 ** levels;

  subtype coeff_word is signed(COB-1 downto 0);
  subtype data_word is signed(DIOB-1 downto 0);
  subtype pair_word is signed(DIOB downto 0);
  subtype acc_word is signed(acc_bits - 1 downto 0);
  type coeff_table is array (natural range <>) of coeff_word;
  type delay_line is array (0 to taps - 1) of data_word;
  type pair_array is array (0 to products - 1) of pair_word;
  -- The adder tree as a heap: node i sums nodes 2 i and 2 i + 1; the leaves are
  -- leaves .. 2 leaves - 1, the root is node 1.
  type tree_array is array (1 to 2 * leaves - 1) of acc_word;

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

  -- The constant multipliers: c * x for a constant c, as shifted copies of x added or
  -- subtracted, one per nonzero digit of the canonic signed-digit form of c (at most one digit
  -- in two is nonzero). No multiplier is built: the constant's digits decide the adders, and
  -- they are found once, while the design is elaborated. A product takes two clocks. The first
  -- sums its lower digits and its upper digits apart, each half as a balanced tree of at most
  -- two adders in a row for up to eight digits, and each relative to its own lowest digit, so
  -- that the copies are no wider than the half's span; the second adds the two halves with one
  -- adder. The words carry no sign of their own where a sum of negative digits would need a
  -- negation: each half, product and tree node holds the sum of its digits or its negative, as
  -- the elaboration-time sign (below) says, and the adder above adds or subtracts to match.
  constant max_digits : integer := (coeff_bits + 2) / 2;
  -- Entry i of a product's list: the i-th nonzero digit from the lowest, as +(1 + shift) when
  -- the copy is added, -(1 + shift) when subtracted, 0 when unused; the used entries come first.
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

  -- The signs: 1 when a word holds its sum, -1 when it holds the negative, 0 when it has no
  -- digits (the word is 0). Two words of the same sign add and keep it; of opposite signs the
  -- negative one is subtracted from the positive one, giving a positive word. So a word is
  -- negative only when every digit under it is, and the sign of a sum does not depend on the
  -- order of the additions.
  function join_sign(a, b : integer) return integer is
  begin
    if a = 0 then
      return b;
    elsif b = 0 or a = b then
      return a;
    end if;
    return 1;
  end function join_sign;

  -- Entries first .. first + count - 1 of a product's list: where its halves start and end.
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
  -- The first entry of half h (0 the lower digits, 1 the upper ones) and its length.
  function half_first(list : digit_list; h : integer) return integer is
  begin
    return h * ((digit_count(list) + 1) / 2);
  end function half_first;
  function half_length(list : digit_list; h : integer) return integer is
  begin
    return h * digit_count(list) + (1 - 2 * h) * ((digit_count(list) + 1) / 2);
  end function half_length;
  -- The shift of a half's lowest digit (0 for an empty half).
  function half_shift(list : digit_list; h : integer) return integer is
  begin
    if half_length(list, h) = 0 then
      return 0;
    end if;
    return abs list(half_first(list, h)) - 1;
  end function half_shift;
  -- How far the upper half sits above the lower one.
  function upper_offset(list : digit_list) return integer is
  begin
    if half_length(list, 1) = 0 then
      return 0;
    end if;
    return half_shift(list, 1) - half_shift(list, 0);
  end function upper_offset;
  function half_sign(list : digit_list; h : integer) return integer is
    variable sign : integer := 0;
  begin
    for i in half_first(list, h) to half_first(list, h) + half_length(list, h) - 1 loop
      if list(i) > 0 then
        sign := join_sign(sign, 1);
      else
        sign := join_sign(sign, -1);
      end if;
    end loop;
    return sign;
  end function half_sign;
  function product_sign(j : integer) return integer is
  begin
    if j >= products then
      return 0;
    end if;
    return join_sign(half_sign(digits(j), 0), half_sign(digits(j), 1));
  end function product_sign;

  -- The signs of the adder tree's nodes, in the heap's order.
  type sign_array is array (natural range <>) of integer;
  function tree_signs return sign_array is
    variable signs : sign_array(1 to 2 * leaves - 1);
  begin
    for j in 0 to leaves - 1 loop
      signs(leaves + j) := product_sign(j);
    end loop;
    for i in leaves - 1 downto 1 loop
      signs(i) := join_sign(signs(2 * i), signs(2 * i + 1));
    end loop;
    return signs;
  end function tree_signs;
  constant node_sign : sign_array(1 to 2 * leaves - 1) := tree_signs;

  subtype term_word is signed(coeff_bits + data_bits downto 0);
  -- a of sign sa and b of sign sb joined: a word of sign join_sign(sa, sb).
  function join(a : signed; sa : integer; b : signed; sb : integer) return signed is
  begin
    if sa = 0 then
      return b;
    elsif sb = 0 then
      return a;
    elsif sa = sb then
      return a + b;
    elsif sa = 1 then
      return a - b;
    end if;
    return b - a;
  end function join;

  -- Leaves of a half's tree: the most digits of a half rounded up to a power of two.
  constant half_levels : integer := tree_levels((max_digits + 1) / 2);
  constant half_slots  : integer := 2 ** half_levels;
  type term_array is array (0 to half_slots - 1) of term_word;

  -- Half h of the product of x and the digits of list, divided by 2 ** half_shift: a balanced
  -- tree of its copies of x, each of the sign half_sign gives the whole.
  -- The bits a word needs above a pair's: r for a copy shifted by r, one more than the wider
  -- of two words for their sum (a word of sign 0 adds nothing). The value of a sum of signs
  -- 1 and -1 is the difference, no wider than the sum of magnitudes this counts.
  function join_bits(a, sa, b, sb : integer) return integer is
  begin
    if sa = 0 then
      return b;
    elsif sb = 0 then
      return a;
    elsif a < b then
      return b + 1;
    end if;
    return a + 1;
  end function join_bits;

  -- v cut to its low bits and sign-extended back to its length: the adder that formed it then
  -- spends no carries above them.
  function narrow(v : signed; bits : integer) return signed is
  begin
    if bits >= v'length then
      return v;
    end if;
    return shift_right(shift_left(v, v'length - bits), v'length - bits);
  end function narrow;

  -- Half h of the product of x and the digits of list, divided by 2 ** half_shift: a balanced
  -- tree of its copies of x, each of the sign half_sign gives the whole. With x = 0 it counts
  -- the bits instead: half_bits.
  function half_tree(list : digit_list; h : integer; x : pair_word; want_bits : boolean)
    return term_word is
    variable terms : term_array;
    variable signs : sign_array(0 to half_slots - 1);
    variable bits  : sign_array(0 to half_slots - 1);
    variable entry : integer;
    variable wide  : integer;
  begin
    terms := (others => (others => '0'));
    signs := (others => 0);
    bits := (others => 0);
    for i in 0 to half_slots - 1 loop
      if i < half_length(list, h) then
        entry := list(half_first(list, h) + i);
        bits(i) := abs entry - 1 - half_shift(list, h);
        terms(i) := shift_left(resize(x, term_word'length), bits(i));
        if entry > 0 then
          signs(i) := 1;
        else
          signs(i) := -1;
        end if;
      end if;
    end loop;
    for level in 1 to half_levels loop
      for i in 0 to half_slots / 2 ** level - 1 loop
        wide := join_bits(bits(2 * i), signs(2 * i), bits(2 * i + 1), signs(2 * i + 1));
        terms(i) := narrow(join(terms(2 * i), signs(2 * i), terms(2 * i + 1), signs(2 * i + 1)),
                           pair_word'length + wide);
        bits(i) := wide;
        signs(i) := join_sign(signs(2 * i), signs(2 * i + 1));
      end loop;
    end loop;
    if want_bits then
      return to_signed(bits(0), term_word'length);
    end if;
    return terms(0);
  end function half_tree;
  function half_sum(list : digit_list; h : integer; x : pair_word) return term_word is
  begin
    return half_tree(list, h, x, false);
  end function half_sum;
  function half_bits(list : digit_list; h : integer) return integer is
  begin
    return to_integer(half_tree(list, h, (others => '0'), true));
  end function half_bits;
  -- The bits of a product above a pair's, relative to its lower half's shift.
  function product_bits(list : digit_list) return integer is
  begin
    return join_bits(half_bits(list, 0), half_sign(list, 0),
                     half_bits(list, 1) + upper_offset(list), half_sign(list, 1));
  end function product_bits;
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

  -- A product's halves, the lower digits first.
  type half_array is array (0 to 1) of term_word;
  type halves_array is array (0 to products - 1) of half_array;

  signal samples : delay_line;
  signal pairs   : pair_array;
  signal halves  : halves_array;
  signal tree    : tree_array;
  -- stage_valid(i): the sample taken i clocks ago is in stage i: 0 the delay line, 1 the
  -- pre-adders, 2 the halves, 3 the products (the tree's leaves), 3 + l the tree level l up,
  -- the root last.
  signal stage_valid : std_logic_vector(0 to levels + 3);
  signal result  : std_logic_vector(data_bits - 1 downto 0);
  signal valid   : std_logic;
  signal running : std_logic;
begin
  din_ready  <= running;
  dout       <= result;
  dout_valid <= valid;

  process (clk)
    variable pair : pair_word;
    variable low  : integer;
    variable root : acc_word;
  begin
    if rising_edge(clk) then
      if rst = '1' then
        running     <= '0';
        samples     <= (others => (others => '0'));
        pairs       <= (others => (others => '0'));
        halves      <= (others => (others => (others => '0')));
        tree        <= (others => (others => '0'));
        stage_valid <= (others => '0');
        result      <= (others => '0');
        valid       <= '0';
      else
        running <= '1';
        stage_valid(0) <= din_valid and running;
        for i in 1 to levels + 3 loop
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
        for j in 0 to products - 1 loop
          halves(j)(0) <= half_sum(digits(j), 0, pairs(j));
          halves(j)(1) <= half_sum(digits(j), 1, pairs(j));
        end loop;
        -- The products: the upper half moved up to its place above the lower one, the two
        -- joined, then the whole moved up by the lower half's shift.
        for j in 0 to leaves - 1 loop
          if j < products then
            low := half_shift(digits(j), 0);
            tree(leaves + j) <= shift_left(resize(narrow(
              join(halves(j)(0), half_sign(digits(j), 0),
                   shift_left(halves(j)(1), upper_offset(digits(j))),
                   half_sign(digits(j), 1)), pair_word'length + product_bits(digits(j))),
              acc_bits), low);
          else
            tree(leaves + j) <= (others => '0');
          end if;
        end loop;
        for i in 1 to leaves - 1 loop
          tree(i) <= narrow(join(tree(2 * i), node_sign(2 * i), tree(2 * i + 1),
                                 node_sign(2 * i + 1)), term_word'length + height(i));
        end loop;
        valid <= stage_valid(levels + 3);
        if stage_valid(levels + 3) = '1' then
          root := tree(1);
          if node_sign(1) < 0 then
            root := -root;
          end if;
          result <= std_logic_vector(saturate(shift_right(root, coeff_bits - 1), data_bits));
        end if;
      end if;
    end if;
  end process;
end architecture parallel;
