-- iirfilter: cascade of 7 second-order IIR sections, serial multiply-accumulate.
--
-- Architecture: one multiplier and one accumulator shared by all sections. A sample taken at a
-- rising edge of clk where din_valid and din_ready are both 1 is sign-extended to the section
-- word (data bits + 4). Each section then takes five clocks to sum
--   w = a0*x(n) + a1*x(n-1) + a2*x(n-2) + nb1*y(n-1) + nb2*y(n-2)
-- in full precision (nb1, nb2 are the negated feedback coefficients) and one clock to shift w
-- right by the coefficient bit length minus one (floor), saturate it to the section word and
-- pass it on as the next section's input. The last section's output, saturated to the data
-- bits, is dout.
--   Cycles per sample: 6 * sections + 1 = 43 (din_ready is 0 while the cascade runs).
--   Latency: 6 * sections = 42 clocks from the edge that takes a sample to dout_valid.
--   Resources: one multiplier, one adder, two words of history per section and one more.
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

architecture serial of iirfilter is
  constant sections   : integer := 7;
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
  -- History node 0 is the cascade input, node s + 1 the output of section s: the last and
  -- the one before the last value of each.
  type history is array (0 to sections) of state_word;

  constant coeffs : coeff_table := (
    0 => ("repa0", "repa1", "repa2", "repb1", "repb2"), -- section 1
    1 => ("repa0", "repa1", "repa2", "repb1", "repb2"), -- section 2
    2 => ("repa0", "repa1", "repa2", "repb1", "repb2"), -- section 3
    3 => ("repa0", "repa1", "repa2", "repb1", "repb2"), -- section 4
    4 => ("repa0", "repa1", "repa2", "repb1", "repb2"), -- section 5
    5 => ("repa0", "repa1", "repa2", "repb1", "repb2"), -- section 6
    6 => ("repa0", "repa1", "repa2", "repb1", "repb2") -- section 7
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

  type state_type is (idle, accumulate, finish);
  signal state   : state_type;
  signal section : integer range 0 to sections - 1;
  signal term    : integer range 0 to 4;
  signal current : state_word;
  signal last    : history;
  signal before  : history;
  signal acc     : signed(acc_bits - 1 downto 0);
  signal result  : std_logic_vector(data_bits - 1 downto 0);
  signal valid   : std_logic;
begin
  din_ready  <= '1' when state = idle else '0';
  dout       <= result;
  dout_valid <= valid;

  process (clk)
    variable operand : state_word;
    variable y       : state_word;
  begin
    if rising_edge(clk) then
      valid <= '0';
      if rst = '1' then
        state   <= idle;
        section <= 0;
        term    <= 0;
        current <= (others => '0');
        last    <= (others => (others => '0'));
        before  <= (others => (others => '0'));
        acc     <= (others => '0');
        result  <= (others => '0');
      else
        -- If chains rather than cases, so that the netlist has no partial one-hot selects.
        if state = idle then
          if din_valid = '1' then
              current <= resize(signed(din), state_bits);
              section <= 0;
              term    <= 0;
              acc     <= (others => '0');
              state   <= accumulate;
          end if;
        elsif state = accumulate then
            if term = 0 then
              operand := current;
            elsif term = 1 then
              operand := last(section);
            elsif term = 2 then
              operand := before(section);
            elsif term = 3 then
              operand := last(section + 1);
            else
              operand := before(section + 1);
            end if;
            acc <= acc + resize(coeffs(section)(term) * operand, acc_bits);
            if term = 4 then
              state <= finish;
            else
              term <= term + 1;
            end if;
        else
            y := saturate(shift_right(acc, frac_bits), state_bits);
            -- One comparison with a constant per history node: a dynamic index here made a
            -- decoder of several LUT levels in the synthesized netlist, the longest path.
            for s in 0 to sections - 1 loop
              if section = s then
                before(s) <= last(s);
                last(s)   <= current;
              end if;
            end loop;
            current         <= y;
            acc             <= (others => '0');
            term            <= 0;
            if section = sections - 1 then
              before(sections) <= last(sections);
              last(sections)   <= y;
              result <= std_logic_vector(saturate(y, data_bits));
              valid  <= '1';
              state  <= idle;
            else
              section <= section + 1;
              state   <= accumulate;
            end if;
        end if;
      end if;
    end if;
  end process;
end architecture serial;
