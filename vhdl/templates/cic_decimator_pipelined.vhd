-- cic_decimator: cascaded integrator-comb decimator with split, pipelined adders.
--
-- Architecture: CICSTAGES integrators at the input rate, a rate change by CICRATE, CICSTAGES
-- combs of differential delay CICDELAY at the output rate. Every register is CICWIDTH bits
-- (data bits + growth) and wraps in two's complement, which keeps the result exact. Each
-- register is split in a low half (the lowest `low` bits) and a high half; a stage adds (or, in
-- a comb, subtracts) the low halves on one clock and the high halves with the registered carry
-- on the next, so no carry chain is longer than half the register. The high halves run one
-- clock behind the low ones all the way down: stage k's high half takes stage k-1's high half
-- on the clock stage k-1 wrote it. Each stage takes one sample per clock.
--   Cycles per sample: 1 (din_ready is always 1 out of reset).
--   Output m = floor(sum_k h[k] x[m*rate - k] / 2^growth), h the stages-fold convolution of
--   rate*delay ones: dout is the top data bits of the last comb, two clocks after the exact
--   template's.
-- din and dout are two's complement. rst is synchronous, active high, and clears all state;
-- every rate-th sample taken (the first one included) gives one output, marked by dout_valid
-- high for one clock.
-- VHDL-93, ieee.numeric_std only.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity cic_decimator is
  port (
    clk        : in  std_logic;
    rst        : in  std_logic;
    din_valid  : in  std_logic;
    din_ready  : out std_logic;
    din        : in  std_logic_vector(CICDATA-1 downto 0);
    dout_valid : out std_logic;
    dout       : out std_logic_vector(CICDATA-1 downto 0));
end entity cic_decimator;

architecture pipelined of cic_decimator is
  constant stages    : integer := CICSTAGES;
  constant rate      : integer := CICRATE;
  constant delay     : integer := CICDELAY;
  constant data_bits : integer := CICDATA;
  constant width     : integer := CICWIDTH;
  constant shift     : integer := CICSHIFT;
  constant low       : integer := width / 2;
  constant high      : integer := width - low;

  subtype low_word is unsigned(low - 1 downto 0);
  subtype high_word is unsigned(high - 1 downto 0);
  type low_array is array (natural range <>) of low_word;
  type high_array is array (natural range <>) of high_word;

  -- Stage 0 is the sample taken (din_word; its high half copied to ihi(0) a clock later), stages
  -- 1..stages the integrators. ilo_valid(k): stage k wrote its low half on the last edge; its
  -- high half follows on the next (ihi_valid(k)).
  signal din_word  : unsigned(width - 1 downto 0) := (others => '0');
  signal ilo       : low_array(1 to stages) := (others => (others => '0'));
  signal ihi       : high_array(0 to stages) := (others => (others => '0'));
  signal icarry    : std_logic_vector(1 to stages) := (others => '0');
  signal ilo_valid, ihi_valid : std_logic_vector(0 to stages) := (others => '0');
  -- Stage 0 of the combs is the sample entering them; comb k's last delay inputs, each half.
  signal clo       : low_array(0 to stages) := (others => (others => '0'));
  signal chi       : high_array(0 to stages) := (others => (others => '0'));
  signal cborrow   : std_logic_vector(1 to stages) := (others => '0');
  signal clo_valid, chi_valid : std_logic_vector(0 to stages) := (others => '0');
  signal hlo       : low_array(0 to stages * delay - 1) := (others => (others => '0'));
  signal hhi       : high_array(0 to stages * delay - 1) := (others => (others => '0'));
  -- The phase of the rate change, and whether it is 0 or the last (registered: the comb capture
  -- waits on no comparison).
  signal phase     : integer range 0 to rate - 1 := 0;
  signal at_zero   : std_logic := '1';
  signal at_last   : std_logic := '0';
  signal ready     : std_logic := '0';
  signal last      : unsigned(width - 1 downto 0);

  -- a + b (+ 1 when c = '1'), one carry chain: the low bit of the wider sum makes the carry in.
  function add_carry(a, b : high_word; c : std_logic) return high_word is
    variable s : unsigned(high downto 0);
  begin
    s := (a & '1') + (b & c);
    return s(high downto 1);
  end function;

  -- The carry out of a + b and the borrow out of a - b.
  function carry_of(a, b : low_word) return std_logic is
    variable s : unsigned(low downto 0);
  begin
    s := ('0' & a) + ('0' & b);
    return s(low);
  end function;
  function borrow_of(a, b : low_word) return std_logic is
    variable s : unsigned(low downto 0);
  begin
    s := ('0' & a) - ('0' & b);
    return s(low);
  end function;
begin
  din_ready <= ready;
  last <= chi(stages) & clo(stages);
  dout <= std_logic_vector(last(shift + data_bits - 1 downto shift));
  dout_valid <= chi_valid(stages);

  process (clk)
    variable input_low : low_word;
  begin
    if rising_edge(clk) then
      if rst = '1' then
        din_word <= (others => '0');
        ilo <= (others => (others => '0'));
        ihi <= (others => (others => '0'));
        icarry <= (others => '0');
        ilo_valid <= (others => '0');
        ihi_valid <= (others => '0');
        clo <= (others => (others => '0'));
        chi <= (others => (others => '0'));
        cborrow <= (others => '0');
        clo_valid <= (others => '0');
        chi_valid <= (others => '0');
        hlo <= (others => (others => '0'));
        hhi <= (others => (others => '0'));
        phase <= 0;
        at_zero <= '1';
        at_last <= '0';
        ready <= '0';
      else
        ready <= '1';
        ihi_valid <= ilo_valid;
        chi_valid <= clo_valid;
        -- The sample taken, sign-extended to the register width: its high half a clock later.
        ilo_valid(0) <= din_valid and ready;
        if din_valid = '1' and ready = '1' then
          din_word <= unsigned(resize(signed(din), width));
        end if;
        if ilo_valid(0) = '1' then
          ihi(0) <= din_word(width - 1 downto low);
        end if;
        -- Integrator k: the low halves with their carry, then the high halves.
        for k in 1 to stages loop
          ilo_valid(k) <= ilo_valid(k - 1);
          if ilo_valid(k - 1) = '1' then
            if k = 1 then
              input_low := din_word(low - 1 downto 0);
            else
              input_low := ilo(k - 1);
            end if;
            ilo(k) <= ilo(k) + input_low;
            icarry(k) <= carry_of(ilo(k), input_low);
          end if;
          if ihi_valid(k - 1) = '1' then
            ihi(k) <= add_carry(ihi(k), ihi(k - 1), icarry(k));
          end if;
        end loop;
        -- Every rate-th sample out of the last integrator enters the combs.
        clo_valid(0) <= '0';
        if ilo_valid(stages) = '1' then
          if at_zero = '1' then
            clo(0) <= ilo(stages);
            clo_valid(0) <= '1';
          end if;
          if at_last = '1' then
            phase <= 0;
          else
            phase <= phase + 1;
          end if;
          at_zero <= at_last;
          if phase = rate - 2 then
            at_last <= '1';
          else
            at_last <= '0';
          end if;
        end if;
        if clo_valid(0) = '1' then
          chi(0) <= ihi(stages);
        end if;
        -- Comb k: its input minus the input delay samples before, low halves then high halves.
        for k in 1 to stages loop
          clo_valid(k) <= clo_valid(k - 1);
          if clo_valid(k - 1) = '1' then
            clo(k) <= clo(k - 1) - hlo((k - 1) * delay + delay - 1);
            cborrow(k) <= borrow_of(clo(k - 1), hlo((k - 1) * delay + delay - 1));
            hlo((k - 1) * delay) <= clo(k - 1);
            for j in 1 to delay - 1 loop
              hlo((k - 1) * delay + j) <= hlo((k - 1) * delay + j - 1);
            end loop;
          end if;
          if chi_valid(k - 1) = '1' then
            chi(k) <= add_carry(chi(k - 1), not hhi((k - 1) * delay + delay - 1),
                                not cborrow(k));
            hhi((k - 1) * delay) <= chi(k - 1);
            for j in 1 to delay - 1 loop
              hhi((k - 1) * delay + j) <= hhi((k - 1) * delay + j - 1);
            end loop;
          end if;
        end loop;
      end if;
    end if;
  end process;
end architecture pipelined;
