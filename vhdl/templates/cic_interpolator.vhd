-- cic_interpolator: cascaded integrator-comb interpolator.
--
-- Architecture: CICSTAGES combs of differential delay CICDELAY at the input rate, a rate change
-- by CICRATE (each combed sample followed by rate - 1 zeros), CICSTAGES integrators at the output
-- rate. Every register is CICWIDTH bits (data bits + growth) and wraps in two's complement, which
-- keeps the result exact. Each stage is one register: a value moves one stage per clock, marked
-- by a valid bit.
--   Cycles per sample: rate + stages + 1 (din_ready is 0 from the edge that takes a sample until
--   the last of its zeros enters the integrators).
--   Output: rate douts per sample, one per clock; output n = floor(sum_k h[k] u[n - k] /
--   2^growth), u the zero-stuffed input, h the stages-fold convolution of rate*delay ones: dout
--   is the top data bits of the last integrator.
-- din and dout are two's complement. rst is synchronous, active high, and clears all state.
-- VHDL-93, ieee.numeric_std only.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity cic_interpolator is
  port (
    clk        : in  std_logic;
    rst        : in  std_logic;
    din_valid  : in  std_logic;
    din_ready  : out std_logic;
    din        : in  std_logic_vector(CICDATA-1 downto 0);
    dout_valid : out std_logic;
    dout       : out std_logic_vector(CICDATA-1 downto 0));
end entity cic_interpolator;

architecture pipelined of cic_interpolator is
  constant stages    : integer := CICSTAGES;
  constant rate      : integer := CICRATE;
  constant delay     : integer := CICDELAY;
  constant data_bits : integer := CICDATA;
  constant width     : integer := CICWIDTH;
  constant shift     : integer := CICSHIFT;

  subtype word is signed(width-1 downto 0);
  type word_array is array (natural range <>) of word;

  -- comb k's output (comb(0) the sample taken) and the last delay inputs of comb k
  signal comb        : word_array(0 to stages) := (others => (others => '0'));
  signal comb_valid  : std_logic_vector(0 to stages) := (others => '0');
  signal history     : word_array(0 to stages * delay - 1) := (others => (others => '0'));
  -- the zero-stuffed stream into the integrators: zeros still to come after a combed sample
  signal feed        : word := (others => '0');
  signal zeros       : integer range 0 to rate - 1 := 0;
  signal integ       : word_array(1 to stages) := (others => (others => '0'));
  signal integ_valid : std_logic_vector(0 to stages) := (others => '0');
  signal ready       : std_logic := '0';
  signal fresh       : std_logic := '1';
begin
  din_ready <= ready;
  dout <= std_logic_vector(integ(stages)(shift + data_bits - 1 downto shift));
  dout_valid <= integ_valid(stages);

  process (clk)
  begin
    if rising_edge(clk) then
      if rst = '1' then
        comb <= (others => (others => '0'));
        comb_valid <= (others => '0');
        history <= (others => (others => '0'));
        feed <= (others => '0');
        zeros <= 0;
        integ <= (others => (others => '0'));
        integ_valid <= (others => '0');
        ready <= '0';
        fresh <= '1';
      else
        fresh <= '0';
        -- One sample at a time: taken, then ready again when its last zero is fed.
        comb_valid(0) <= din_valid and ready;
        if din_valid = '1' and ready = '1' then
          comb(0) <= resize(signed(din), width);
          ready <= '0';
        elsif fresh = '1' or zeros = 1 then
          ready <= '1';
        end if;
        -- Comb k: its input minus the input delay samples before.
        for k in 1 to stages loop
          comb_valid(k) <= comb_valid(k - 1);
          if comb_valid(k - 1) = '1' then
            comb(k) <= comb(k - 1) - history((k - 1) * delay + delay - 1);
            history((k - 1) * delay) <= comb(k - 1);
            for j in 1 to delay - 1 loop
              history((k - 1) * delay + j) <= history((k - 1) * delay + j - 1);
            end loop;
          end if;
        end loop;
        -- The combed sample, then rate - 1 zeros, one per clock.
        integ_valid(0) <= '0';
        if comb_valid(stages) = '1' then
          feed <= comb(stages);
          integ_valid(0) <= '1';
          zeros <= rate - 1;
        elsif zeros > 0 then
          feed <= (others => '0');
          integ_valid(0) <= '1';
          zeros <= zeros - 1;
        end if;
        -- Integrator k adds what integrator k-1 held when it marked a value.
        for k in 1 to stages loop
          integ_valid(k) <= integ_valid(k - 1);
          if integ_valid(k - 1) = '1' then
            if k = 1 then
              integ(k) <= integ(k) + feed;
            else
              integ(k) <= integ(k) + integ(k - 1);
            end if;
          end if;
        end loop;
      end if;
    end if;
  end process;
end architecture pipelined;
