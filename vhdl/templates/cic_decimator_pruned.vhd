-- cic_decimator: cascaded integrator-comb decimator with pruned registers.
--
-- Architecture: CICSTAGES integrators at the input rate, a rate change by CICRATE, CICSTAGES
-- combs of differential delay CICDELAY at the output rate. Every register is CICWIDTH bits
-- (data bits + growth + 1) and wraps in two's complement; stage j (the integrators, then the
-- combs) drops the lowest drop(j) bits of what it takes in, so those bits of its register are
-- always 0 and synthesis removes them. The output is the sum shifted down by the growth,
-- saturated to the data bits; it differs from the exact filter's by at most a bound the pruning
-- sets (stated where the filter is generated). Each stage
-- is one register: a sample moves one stage per clock, marked by a valid bit, so the chain
-- takes one sample per clock whatever the gaps between samples.
--   Cycles per sample: 1 (din_ready is always 1 out of reset).
--   Latency: 2 * stages + 1 clocks from the edge that takes sample m*rate to dout_valid.
--   Output m ~ floor(sum_k h[k] x[m*rate - k] / 2^growth), h the stages-fold convolution of
--   rate*delay ones.
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
  type int_array is array (natural range <>) of integer;
  -- bits dropped at the input of integrator 1..stages, then of comb 1..stages
  constant drop      : int_array(1 to 2 * stages) := (CICDROPS);

  subtype word is signed(width-1 downto 0);
  type word_array is array (natural range <>) of word;

  signal integ       : word_array(1 to stages) := (others => (others => '0'));
  signal integ_valid : std_logic_vector(0 to stages) := (others => '0');
  signal din_word    : word := (others => '0');
  signal phase       : integer range 0 to rate - 1 := 0;
  -- comb k's output and the last delay inputs of comb k (comb_in(k)(0) the newest)
  signal comb        : word_array(0 to stages) := (others => (others => '0'));
  signal comb_valid  : std_logic_vector(0 to stages) := (others => '0');
  signal history     : word_array(0 to stages * delay - 1) := (others => (others => '0'));
  signal ready       : std_logic := '0';
  -- the last comb shifted down: one bit more than the output, saturated away
  signal shifted     : signed(width - shift - 1 downto 0);

  -- v with its lowest d bits cleared
  function keep(v : word; d : integer) return word is
  begin
    return shift_left(shift_right(v, d), d);
  end function;
begin
  din_ready <= ready;
  shifted <= comb(stages)(width - 1 downto shift);
  dout_valid <= comb_valid(stages);

  saturate : process (shifted)
  begin
    if shifted(data_bits) = shifted(data_bits - 1) then
      dout <= std_logic_vector(shifted(data_bits - 1 downto 0));
    else
      dout <= (others => not shifted(data_bits));
      dout(data_bits - 1) <= shifted(data_bits);
    end if;
  end process;

  process (clk)
  begin
    if rising_edge(clk) then
      if rst = '1' then
        integ <= (others => (others => '0'));
        integ_valid <= (others => '0');
        din_word <= (others => '0');
        phase <= 0;
        comb <= (others => (others => '0'));
        comb_valid <= (others => '0');
        history <= (others => (others => '0'));
        ready <= '0';
      else
        ready <= '1';
        -- The sample taken, sign-extended to the register width.
        integ_valid(0) <= din_valid and ready;
        if din_valid = '1' and ready = '1' then
          din_word <= resize(signed(din), width);
        end if;
        -- Integrator k adds what integrator k-1 held when it marked a sample.
        for k in 1 to stages loop
          integ_valid(k) <= integ_valid(k - 1);
          if integ_valid(k - 1) = '1' then
            if k = 1 then
              integ(k) <= integ(k) + keep(din_word, drop(k));
            else
              integ(k) <= integ(k) + keep(integ(k - 1), drop(k));
            end if;
          end if;
        end loop;
        -- Every rate-th sample out of the last integrator enters the combs.
        comb_valid(0) <= '0';
        if integ_valid(stages) = '1' then
          if phase = 0 then
            comb(0) <= integ(stages);
            comb_valid(0) <= '1';
          end if;
          if phase = rate - 1 then
            phase <= 0;
          else
            phase <= phase + 1;
          end if;
        end if;
        -- Comb k: its input minus the input delay samples before.
        for k in 1 to stages loop
          comb_valid(k) <= comb_valid(k - 1);
          if comb_valid(k - 1) = '1' then
            comb(k) <= keep(comb(k - 1), drop(stages + k)) -
                       history((k - 1) * delay + delay - 1);
            history((k - 1) * delay) <= keep(comb(k - 1), drop(stages + k));
            for j in 1 to delay - 1 loop
              history((k - 1) * delay + j) <= history((k - 1) * delay + j - 1);
            end loop;
          end if;
        end loop;
      end if;
    end if;
  end process;
end architecture pipelined;
