@[n=1]-- iirfilter: cascade of 1 second-order IIR section, folded onto a few multipliers.
@[n>1]-- iirfilter: cascade of @{n} second-order IIR sections, folded onto a few multipliers.
--
-- Architecture: MULK multiplier lanes shared by all sections, working in frames. A sample taken
-- at a rising edge of clk where din_valid and din_ready are both 1 is sign-extended to the section
-- word (data bits + 4) and enters section 1 in the next frame. What section s computes in one
-- frame is the input of section s + 1 in the next, so a frame advances every section that holds a
-- sample by one sample, and section s + 1 works on an older sample than section s. A section sums
--   w = a0*x(n) + a1*x(n-1) + a2*x(n-2) + nb1*y(n-1) + nb2*y(n-2)
-- in full precision (nb1, nb2 are the negated feedback coefficients). A frame issues the five
-- products of every section back to back, section by section, the lanes taking one product each
-- per clock (one clock's lanes may end one section and start the next): a lane reads its
-- operands into registers on one clock and multiplies and sums them on the next. The clock
-- after a section's last sum shifts its w right by the coefficient bit length minus one (floor)
-- and saturates it to the section word, while the lanes go on with the next section. The
-- frame's last clock moves the sections' results on and takes the next sample. The last
-- section's output, saturated to the data bits, is dout.
--   Cycles per sample: ceil(5 * sections / lanes) + 2 = @{5*n+2} with one lane, @{n+2} with five
--   (din_ready is 1 on a frame's last clock and while idle).
--   Latency: sections * (ceil(5 * sections / lanes) + 2) clocks from the edge that takes a sample
--   to dout_valid. Without new samples, frames go on until every sample taken has its output.
--   Resources: one multiplier per lane with its operand registers, the adders of the lanes'
--   products into the section in progress and the one starting, three words of history per
--   section node, one for each section's result of the frame.
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

architecture folded of iirfilter is
  constant sections   : integer := @{n};
  constant coeff_bits : integer := COB;
  constant frac_bits  : integer := COB-2 - 1;
  constant data_bits  : integer := DIOB-4;
  constant state_bits : integer := DIOB;
  constant acc_bits   : integer := coeff_bits + state_bits + 3;
  constant multipliers : integer := MULK;

  -- The lanes in use: one to five (a clock's lanes then touch at most two sections).
  function lane_count(k : integer) return integer is
  begin
    if k < 1 then
      return 1;
    elsif k > 5 then
      return 5;
    end if;
    return k;
  end function lane_count;
  constant lanes : integer := lane_count(multipliers);

  subtype coeff_word is signed(COB-1 downto 0);
  subtype state_word is signed(DIOB-1 downto 0);
  -- a0, a1, a2, nb1, nb2 of one section.
  type section_coeffs is array (0 to 4) of coeff_word;
  type coeff_table is array (0 to sections - 1) of section_coeffs;
  -- Node 0 is the cascade input, node s + 1 the output of section s.
  type node_words is array (0 to sections) of state_word;

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

  -- busy: a frame runs. section, term: the section and term of lane 0's product read this
  -- clock; section = sections while the last products are summed, sections + 1 on the frame's
  -- last clock. active(s): section s holds a sample in this frame.
  signal busy    : std_logic;
  signal section : integer range 0 to sections + 1;
  signal term    : integer range 0 to 4;
  signal active  : std_logic_vector(0 to sections - 1);
  -- The last three values of each node as the frame sees them (node sections needs two), and
  -- each section's result of the frame, taken into its node on the frame's last clock.
  signal last    : node_words;
  signal before  : node_words;
  signal oldest  : node_words;
  signal fresh   : node_words;
  -- The lanes' operands read on the clock before (a lane past the last section reads 0), and
  -- the section and term of lane 0's; issued: they are to be summed on this clock.
  type lane_words is array (0 to lanes - 1) of state_word;
  type lane_coeffs is array (0 to lanes - 1) of coeff_word;
  signal operands : lane_words := (others => (others => '0'));
  signal factors  : lane_coeffs := (others => (others => '0'));
  signal issued         : std_logic;
  signal issued_section : integer range 0 to sections - 1;
  signal issued_term    : integer range 0 to 4;
  -- The sum of the section in progress, and the one completed on the clock before.
  signal acc          : signed(acc_bits - 1 downto 0);
  signal done         : signed(acc_bits - 1 downto 0);
  signal done_section : integer range 0 to sections - 1;
  signal done_valid   : std_logic;
  signal result  : std_logic_vector(data_bits - 1 downto 0);
  signal valid   : std_logic;
begin
  din_ready  <= '1' when busy = '0' or section = sections + 1 else '0';
  dout       <= result;
  dout_valid <= valid;

  process (clk)
    variable t       : integer range 0 to 8;
    variable s       : integer range 0 to sections;
    -- s where it names a section: the coefficient table's index range.
    variable c       : integer range 0 to sections - 1;
    variable product : signed(acc_bits - 1 downto 0);
    variable low     : signed(acc_bits - 1 downto 0);
    variable high    : signed(acc_bits - 1 downto 0);
    variable y       : state_word;
    variable more    : std_logic;
  begin
    if rising_edge(clk) then
      valid      <= '0';
      done_valid <= '0';
      issued     <= '0';
      if rst = '1' then
        busy    <= '0';
        section <= 0;
        term    <= 0;
        active  <= (others => '0');
        last    <= (others => (others => '0'));
        before  <= (others => (others => '0'));
        oldest  <= (others => (others => '0'));
        fresh   <= (others => (others => '0'));
        issued_section <= 0;
        issued_term    <= 0;
        acc     <= (others => '0');
        done    <= (others => '0');
        done_section <= 0;
        result  <= (others => '0');
      else
        -- The section completed on the clock before: scale it, and keep it for its node (the
        -- last section's goes to its node and dout at once, on the frame's last clock).
        if done_valid = '1' then
          y := saturate(shift_right(done, frac_bits), state_bits);
          if done_section = sections - 1 then
            before(sections) <= last(sections);
            last(sections)   <= y;
            result <= std_logic_vector(saturate(y, data_bits));
            valid  <= '1';
          else
            fresh(done_section + 1) <= y;
          end if;
        end if;
        -- The products of the operands read on the clock before: lane m has term
        -- issued_term + m of the section, or, past the section's five, one of the first terms
        -- of the next section (high).
        if issued = '1' then
          low  := acc;
          high := (others => '0');
          for m in 0 to lanes - 1 loop
            product := resize(multiply(factors(m), operands(m)), acc_bits);
            if issued_term + m > 4 then
              high := high + product;
            else
              low := low + product;
            end if;
          end loop;
          if issued_term + lanes > 4 then
            done         <= low;
            done_section <= issued_section;
            done_valid   <= active(issued_section);
            acc          <= high;
          else
            acc <= low;
          end if;
        end if;
        -- If chains rather than cases, so that the netlist has no partial one-hot selects.
        if busy = '1' and section < sections then
          -- Lane m reads term + m of the section, or, past the section's five, the first
          -- terms of the next one.
          for m in 0 to lanes - 1 loop
            t := term + m;
            s := section;
            if t > 4 then
              t := t - 5;
              s := section + 1;
            end if;
            if s < sections then
              c := s;
              if t = 0 then
                operands(m) <= last(s);
              elsif t = 1 then
                operands(m) <= before(s);
              elsif t = 2 then
                operands(m) <= oldest(s);
              elsif t = 3 then
                operands(m) <= last(s + 1);
              else
                operands(m) <= before(s + 1);
              end if;
              factors(m) <= coeffs(c)(t);
            else
              operands(m) <= (others => '0');
            end if;
          end loop;
          issued         <= '1';
          issued_section <= section;
          issued_term    <= term;
          if term + lanes > 4 then
            term    <= term + lanes - 5;
            section <= section + 1;
          else
            term <= term + lanes;
          end if;
        elsif busy = '1' and section = sections then
          -- The last products are summed.
          section <= sections + 1;
        else
          -- The frame's last clock, or idle: every section that held a sample passes its
          -- result on, the next sample enters, and a new frame starts while any sample is
          -- still on its way.
          for k in 1 to sections - 1 loop
            if active(k - 1) = '1' then
              oldest(k) <= before(k);
              before(k) <= last(k);
              last(k)   <= fresh(k);
            end if;
          end loop;
          if din_valid = '1' then
            oldest(0) <= before(0);
            before(0) <= last(0);
            last(0)   <= resize(signed(din), state_bits);
          end if;
          more := din_valid;
          for k in 0 to sections - 2 loop
            if active(k) = '1' then
              more := '1';
            end if;
          end loop;
          for k in sections - 1 downto 1 loop
            active(k) <= active(k - 1);
          end loop;
          active(0) <= din_valid;
          busy    <= more;
          section <= 0;
          term    <= 0;
        end if;
      end if;
    end if;
  end process;
end architecture folded;
