@[n=1]-- iirfilter: cascade of 1 second-order IIR section, one sample per clock.
@[n>1]-- iirfilter: cascade of @{n} second-order IIR sections, one sample per clock.
--
-- Architecture: each section has its own five multipliers and computes
--   w = a0*x(n) + a1*x(n-1) + a2*x(n-2) + nb1*y(n-1) + nb2*y(n-2)
-- (nb1, nb2 the negated feedback coefficients) in full precision, shifts w right by the
-- coefficient bit length minus one (floor) and saturates it to the section word (data bits + 4)
-- in one clock, so that its feedback is ready for the next sample. A register between sections
-- holds each section's output for the next; a valid bit travels alongside. A sample is taken at
-- every rising edge of clk where din_valid is 1 (din_ready stays 1 after reset); the last
-- section's output, saturated to the data bits, is dout.
--   Cycles per sample: 1.
--   Latency: sections + 1 = @{n+1} clocks from the edge that takes a sample to dout_valid.
--   Resources: five multipliers and a five-input adder per section, four words of history per
--   section, one pipeline register per section. The clock period is bounded by one section:
--   a multiplier and the five-input sum.
-- din and dout are two's complement. rst is synchronous, active high, and clears all state;
-- each sample taken gives exactly one output, marked by dout_valid high for one clock.
-- VHDL-93, ieee.numeric_std only.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity iirfilter is
  port (
    clk        : in  std_logic;
    rst        : in  std_logic;
    din_valid  : in  std_logic;
    din_ready  : out std_logic;
    din        : in  std_logic_vector(DIOB-4-1 downto 0);
    dout_valid : out std_logic;
    dout       : out std_logic_vector(DIOB-4-1 downto 0));
end entity iirfilter;

architecture parallel of iirfilter is
  constant sections   : integer := @{n};
  constant coeff_bits : integer := COB;
  constant frac_bits  : integer := COB-2 - 1;
  constant data_bits  : integer := DIOB-4;
  constant state_bits : integer := DIOB;
  constant acc_bits   : integer := coeff_bits + state_bits + 3;

  subtype coeff_word is signed(COB-1 downto 0);
  subtype state_word is signed(DIOB-1 downto 0);
  -- a0, a1, a2, nb1, nb2 of one section.
  type section_coeffs is array (0 to 4) of coeff_word;
  type coeff_table is array (0 to sections - 1) of section_coeffs;

  constant coeffs : coeff_table := (
--@SECTION
@[!last]    @{s-1} => ("repa0", "repa1", "repa2", "repb1", "repb2"), -- section @{s}
@[last]    @{s-1} => ("repa0", "repa1", "repa2", "repb1", "repb2") -- section @{s}
--@END
  );

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

  -- a * b in a'length + b'length bits, computed as the product of the two words read unsigned
  -- and corrected for their sign bits. The same value as the signed product; written this way
  -- so that synthesis sees an unsigned multiplier of the words' own widths, which fits one DSP
  -- block, rather than one of the product's width.
  function multiply(a : signed; b : signed) return signed is
    alias aa : signed(a'length - 1 downto 0) is a;
    alias bb : signed(b'length - 1 downto 0) is b;
    constant width : integer := a'length + b'length;
    variable p : signed(width - 1 downto 0);
  begin
    p := signed(unsigned(aa) * unsigned(bb));
    if aa(aa'high) = '1' then
      p := p - shift_left(signed(resize(unsigned(bb), width)), a'length);
    end if;
    if bb(bb'high) = '1' then
      p := p - shift_left(signed(resize(unsigned(aa), width)), b'length);
    end if;
    return p;
  end function multiply;

  type word_array is array (natural range <>) of state_word;
  -- stage_in(s): the input of section s; stage_in(sections): the cascade's output.
  signal stage_in    : word_array(0 to sections);
  signal stage_valid : std_logic_vector(0 to sections);
  -- Each section's last and before-last input and output.
  signal x1, x2, y1, y2 : word_array(0 to sections - 1);
  signal result  : std_logic_vector(data_bits - 1 downto 0);
  signal valid   : std_logic;
  signal running : std_logic;
begin
  din_ready  <= running;
  dout       <= result;
  dout_valid <= valid;

  process (clk)
    variable w : signed(acc_bits - 1 downto 0);
    variable y : state_word;
  begin
    if rising_edge(clk) then
      if rst = '1' then
        running     <= '0';
        stage_in    <= (others => (others => '0'));
        stage_valid <= (others => '0');
        x1          <= (others => (others => '0'));
        x2          <= (others => (others => '0'));
        y1          <= (others => (others => '0'));
        y2          <= (others => (others => '0'));
        result      <= (others => '0');
        valid       <= '0';
      else
        running <= '1';
        stage_valid(0) <= din_valid and running;
        if din_valid = '1' and running = '1' then
          stage_in(0) <= resize(signed(din), state_bits);
        end if;
        for s in 0 to sections - 1 loop
          stage_valid(s + 1) <= stage_valid(s);
          if stage_valid(s) = '1' then
            w := resize(multiply(coeffs(s)(0), stage_in(s)), acc_bits) +
                 resize(multiply(coeffs(s)(1), x1(s)), acc_bits) +
                 resize(multiply(coeffs(s)(2), x2(s)), acc_bits) +
                 resize(multiply(coeffs(s)(3), y1(s)), acc_bits) +
                 resize(multiply(coeffs(s)(4), y2(s)), acc_bits);
            y := saturate(shift_right(w, frac_bits), state_bits);
            x2(s) <= x1(s);
            x1(s) <= stage_in(s);
            y2(s) <= y1(s);
            y1(s) <= y;
            stage_in(s + 1) <= y;
          end if;
        end loop;
        valid <= stage_valid(sections);
        if stage_valid(sections) = '1' then
          result <= std_logic_vector(saturate(stage_in(sections), data_bits));
        end if;
      end if;
    end if;
  end process;
end architecture parallel;
