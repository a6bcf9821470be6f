// The testbench writer. The expected outputs are the bit-true model's, so a PASS proves that the
// template computes exactly the stated arithmetic for this design and this wave.
#include "vhdl/Testbench.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "vhdl/BitTrueModel.h"
#include "vhdl/VhdlText.h"

namespace vhdl {

namespace {

constexpr int kValuesPerLine = 10;
constexpr int kLongGapEvery = 50; // every 50th sample waits this long before it is offered
constexpr int kLongGap = 23;
constexpr int kShortGapSpan = 5; // other samples wait (7 i) mod 5 cycles
constexpr int kResetCycles = 3;
constexpr int kReportedMismatches = 10;
// Samples of an IIR impulse response the full-scale burst follows.
constexpr int kIirBurstLength = 128;

std::string IntegerTable(const std::vector<std::int64_t>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        text += i % kValuesPerLine == 0 ? "    " : " ";
        text += std::to_string(values[i]);
        if (i + 1 < values.size()) {
            text += i % kValuesPerLine == kValuesPerLine - 1 ? ",\n" : ",";
        }
    }
    return text + "\n";
}

// Cycles the filter needs per sample: the serial FIR spends one per tap plus two, the serial IIR
// five per section plus one to finish each section, plus one to take the sample.
int CyclesPerSample(const dsp::FilterCoefficients& c) {
    if (c.iir) {
        return 6 * TemplateSections(c.designedSections) + 1;
    }
    return std::max(c.ShownTaps(), 1) + 2;
}

// The expected outputs: the bit-true model of the coefficients' literals; *clipped receives how
// many of them the model saturated into the data word.
std::vector<std::int64_t> ExpectedOutputs(const dsp::FilterCoefficients& c, int dataBits,
                                          const std::vector<std::int64_t>& stimulus, int* clipped) {
    SaturationCount saturation;
    std::vector<std::int64_t> outputs;
    if (c.iir) {
        const std::vector<IirSectionLiterals> sections = IirLiterals(c);
        outputs = IirBitTrue(sections, c.bits, dataBits, stimulus, &saturation);
    } else {
        const std::vector<std::int64_t> taps = FirLiterals(c);
        outputs = FirBitTrue(taps, c.bits, dataBits, stimulus, &saturation);
    }
    *clipped = saturation.filterOutput;
    return outputs;
}

// The signs of the filter's impulse response, first term first: the FIR literals, or the IIR
// cascade's response to a unit impulse over kIirBurstLength samples (in double precision from the
// section literals; only the signs matter).
std::vector<int> ImpulseSigns(const dsp::FilterCoefficients& c) {
    std::vector<int> signs;
    if (!c.iir) {
        for (const std::int64_t literal : FirLiterals(c)) {
            signs.push_back(literal < 0 ? -1 : 1);
        }
        return signs;
    }
    const std::vector<IirSectionLiterals> sections = IirLiterals(c);
    const double scale = 1.0 / static_cast<double>(std::int64_t{1} << (c.bits - 1));
    std::vector<double> x1(sections.size() + 1, 0.0);
    std::vector<double> x2(sections.size() + 1, 0.0);
    for (int n = 0; n < kIirBurstLength; ++n) {
        double x = n == 0 ? 1.0 : 0.0;
        for (size_t s = 0; s < sections.size(); ++s) {
            const IirSectionLiterals& l = sections[s];
            const double y =
                scale *
                (static_cast<double>(l.a0) * x + static_cast<double>(l.a1) * x1[s] +
                 static_cast<double>(l.a2) * x2[s] + static_cast<double>(l.nb1) * x1[s + 1] +
                 static_cast<double>(l.nb2) * x2[s + 1]);
            x2[s] = x1[s];
            x1[s] = x;
            x = y;
        }
        x2[sections.size()] = x1[sections.size()];
        x1[sections.size()] = x;
        signs.push_back(x < 0.0 ? -1 : 1);
    }
    return signs;
}

// The samples offered after the test wave: full-scale samples with the signs of the impulse
// response in reverse, so that every term of the output adds up to the largest value the filter
// can reach, then the same negated for the smallest. When any input can saturate the output,
// this one does.
std::vector<std::int64_t> FullScaleBurst(const dsp::FilterCoefficients& c, int dataBits) {
    const std::int64_t largest = (std::int64_t{1} << (dataBits - 1)) - 1;
    const std::int64_t smallest = -largest - 1;
    const std::vector<int> signs = ImpulseSigns(c);
    std::vector<std::int64_t> burst;
    for (const int polarity : {1, -1}) {
        for (auto sign = signs.rbegin(); sign != signs.rend(); ++sign) {
            burst.push_back(*sign * polarity > 0 ? largest : smallest);
        }
    }
    return burst;
}

// The testbench's samples: the test wave scaled to D bits, then the full-scale burst.
std::vector<std::int64_t> Stimulus(const dsp::FilterCoefficients& c, int dataBits,
                                   std::span<const double> wave) {
    std::vector<std::int64_t> stimulus = ScaleStimulus(wave, dataBits);
    const std::vector<std::int64_t> burst = FullScaleBurst(c, dataBits);
    stimulus.insert(stimulus.end(), burst.begin(), burst.end());
    return stimulus;
}

// The comment, the entity and the declarations up to the architecture's begin.
std::string Declarations(const std::string& entity, int dataBits, int cycleLimit, int waveCount,
                         const std::vector<std::int64_t>& stimulus,
                         const std::vector<std::int64_t>& expected, int clipped) {
    const int count = static_cast<int>(stimulus.size());
    std::string t;
    t += "-- Self-checking testbench of the generated " + entity + ".\n";
    t += "-- Offers " + std::to_string(count) + " samples (" + std::to_string(waveCount) +
         " of the test wave, then a full-scale burst that drives the\n"
         "-- output to its largest and smallest values) with gaps in din_valid and compares\n"
         "-- every output with the fixed-point model of the filter. Ends with PASS, or with\n"
         "-- FAIL and the number of mismatches (severity failure). With the generic full_rate\n"
         "-- true (ghdl -r ... -gfull_rate=true) din_valid stays 1 instead. Either way it\n"
         "-- reports the longest interval between two samples taken, the latency of the\n"
         "-- first one, in clocks, and how many outputs saturated.\n";
    t += "library ieee;\nuse ieee.std_logic_1164.all;\nuse ieee.numeric_std.all;\n\n";
    t += "entity " + entity + "_tb is\n  generic (full_rate : boolean := false);\nend entity " +
         entity + "_tb;\n\n";
    t += "architecture sim of " + entity + "_tb is\n";
    t += "  constant data_bits : integer := " + std::to_string(dataBits) + ";\n";
    t += "  constant sample_count : integer := " + std::to_string(std::max(count, 1)) + ";\n";
    t += "  constant cycle_limit : integer := " + std::to_string(cycleLimit) + ";\n";
    t += "  -- Outputs the model saturated into the data word.\n";
    t += "  constant model_saturated : integer := " + std::to_string(clipped) + ";\n";
    t += "  type sample_array is array (0 to sample_count - 1) of integer;\n";
    if (count == 0) {
        t += "  constant stimulus : sample_array := (others => 0);\n";
        t += "  constant expected : sample_array := (others => 0);\n";
    } else {
        t += "  constant stimulus : sample_array := (\n" + IntegerTable(stimulus) + "  );\n";
        t += "  constant expected : sample_array := (\n" + IntegerTable(expected) + "  );\n";
    }
    t += R"(  signal clk : std_logic := '0';
  signal rst : std_logic := '1';
  signal din_valid : std_logic := '0';
  signal din_ready : std_logic;
  signal din : std_logic_vector(data_bits - 1 downto 0) := (others => '0');
  signal dout_valid : std_logic;
  signal dout : std_logic_vector(data_bits - 1 downto 0);
  signal running : boolean := true;
  signal received : integer := 0;
  signal mismatches : integer := 0;
  signal saturated : integer := 0;
  signal cycle : integer := 0;
  signal longest_interval : integer := 0;
  signal first_taken : integer := -1;
  signal first_latency : integer := -1;
begin
)";
    return t;
}

// The filter instance, the clock and the output check.
std::string InstanceAndCheck(const std::string& entity,
                             const std::string& outputs = "sample_count") {
    std::string t;
    t += "  dut : entity work." + entity + "\n";
    t += R"(    port map (clk => clk, rst => rst, din_valid => din_valid, din_ready => din_ready,
              din => din, dout_valid => dout_valid, dout => dout);

  clk <= not clk after 5 ns when running else '0';

  check : process (clk)
    variable value : integer;
  begin
    if rising_edge(clk) and rst = '0' and dout_valid = '1' then
      value := to_integer(signed(dout));
      if value = -2 ** (data_bits - 1) or value = 2 ** (data_bits - 1) - 1 then
        saturated <= saturated + 1;
      end if;
      if received >= )" +
         outputs + R"( then
        mismatches <= mismatches + 1;
        report "extra output " & integer'image(value) severity error;
      elsif value /= expected(received) then
        mismatches <= mismatches + 1;
        if mismatches < )" +
         std::to_string(kReportedMismatches) + R"( then
          report "output " & integer'image(received) & ": got " & integer'image(value) &
                 ", expected " & integer'image(expected(received)) severity error;
        end if;
      end if;
      received <= received + 1;
    end if;
  end process check;

  -- The clocks between samples taken and from the first sample taken to its output.
  timing : process (clk)
    variable last_taken : integer := -1;
  begin
    if rising_edge(clk) then
      cycle <= cycle + 1;
      if rst = '0' and din_valid = '1' and din_ready = '1' then
        if last_taken >= 0 and cycle - last_taken > longest_interval then
          longest_interval <= cycle - last_taken;
        end if;
        if last_taken < 0 then
          first_taken <= cycle;
        end if;
        last_taken := cycle;
      end if;
      if rst = '0' and dout_valid = '1' and first_latency < 0 and first_taken >= 0 then
        first_latency <= cycle - first_taken - 1; -- dout_valid rose at the edge before
      end if;
    end if;
  end process timing;
)";
    return t;
}

// The stimulus process: offers the samples with gaps, waits for the outputs, reports.
std::string DriveProcess(const std::string& outputs = "sample_count") {
    std::string t;
    t += R"(
  drive : process
    variable gap : integer;
    variable cycles : integer := 0;
    variable total : integer;
  begin
    rst <= '1';
    for c in 1 to )" +
         std::to_string(kResetCycles) + R"( loop
      wait until rising_edge(clk);
    end loop;
    rst <= '0';
    for i in 0 to sample_count - 1 loop
      exit when cycles > cycle_limit;
      gap := (7 * i) mod )" +
         std::to_string(kShortGapSpan) + R"(;
      if i mod )" +
         std::to_string(kLongGapEvery) + " = " + std::to_string(kLongGapEvery - 1) +
         " then\n        gap := " + std::to_string(kLongGap) + R"(;
      end if;
      if full_rate then
        gap := 0;
      end if;
      din_valid <= '0';
      for g in 1 to gap loop
        wait until rising_edge(clk);
        cycles := cycles + 1;
      end loop;
      din <= std_logic_vector(to_signed(stimulus(i), data_bits));
      din_valid <= '1';
      loop
        wait until rising_edge(clk);
        cycles := cycles + 1;
        exit when din_ready = '1' or cycles > cycle_limit;
      end loop;
    end loop;
    din_valid <= '0';
    din <= (others => '0');
    while received < )" +
         outputs + R"( and cycles <= cycle_limit loop
      wait until rising_edge(clk);
      cycles := cycles + 1;
    end loop;
    -- A few more cycles, so that an output too many is seen as well.
    for c in 1 to 16 loop
      wait until rising_edge(clk);
    end loop;
    wait for 1 ns;
    report "longest interval between samples taken: " & integer'image(longest_interval) &
           " clocks" severity note;
    report "latency of the first sample: " & integer'image(first_latency) & " clocks"
      severity note;
    report "saturated outputs: " & integer'image(saturated) &
           " at the largest or smallest data word; the model clips " &
           integer'image(model_saturated) severity note;
    total := mismatches;
    if received < )" +
         outputs + R"( then
      total := total + )" +
         outputs + R"( - received;
      report integer'image()" +
         outputs + R"( - received) & " outputs missing" severity error;
    end if;
    if total = 0 then
      report "PASS: " & integer'image()" +
         outputs + R"() & " outputs equal the model" severity note;
      running <= false;
      wait;
    end if;
    report "FAIL: " & integer'image(total) & " mismatches" severity failure;
    running <= false;
    wait;
  end process drive;
end architecture sim;
)";
    return t;
}

// ---- Verilog ------------------------------------------------------------------------------------

// "    stimulus[0] = 12; stimulus[1] = -3; ..." five assignments a line.
std::string VerilogTable(const char* name, const std::vector<std::int64_t>& values) {
    constexpr int kPerLine = 5;
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        text += i % kPerLine == 0 ? "    " : " ";
        text +=
            std::string(name) + "[" + std::to_string(i) + "] = " + std::to_string(values[i]) + ";";
        if (i % kPerLine == kPerLine - 1 || i + 1 == values.size()) {
            text += "\n";
        }
    }
    return text;
}

// The same checks as the VHDL testbench: the samples offered with the same gaps (none with
// +full_rate), every output compared with the model, the timing reported, then PASS and
// $finish, or FAIL and $fatal, so that vvp exits with a failure status.
// The comment at the head of the FIR and IIR testbenches.
std::string VerilogComment(const std::string& module, int count, int waveCount) {
    std::string t;
    t += "// Self-checking testbench of the generated " + module + ".\n";
    t +=
        "// Offers " + std::to_string(count) + " samples (" + std::to_string(waveCount) +
        " of the test wave, then a full-scale burst that drives the\n"
        "// output to its largest and smallest values) with gaps in din_valid and compares\n"
        "// every output with the fixed-point model of the filter. Ends with PASS and $finish,\n"
        "// or with FAIL and the number of mismatches ($fatal: the simulator exits with a failure\n"
        "// status). With +full_rate (vvp tb +full_rate) din_valid stays 1 instead. Either way it\n"
        "// reports the longest interval between two samples taken, the latency of the first\n"
        "// one, in clocks, and how many outputs saturated.\n";
    return t;
}

// `comment` heads the text; the outputs are counted against the localparam `outputs`
// (sample_count, or output_count when a filter gives other than one output per sample).
std::string VerilogTestbench(const std::string& module, int dataBits, int cycleLimit,
                             const std::string& comment, const std::string& outputs,
                             const std::vector<std::int64_t>& stimulus,
                             const std::vector<std::int64_t>& expected, int clipped) {
    const int count = static_cast<int>(stimulus.size());
    const int tableSize = std::max(count, 1);
    const int expectedSize = std::max(static_cast<int>(expected.size()), 1);
    std::string t = comment;
    t += "`timescale 1ns / 1ps\n\nmodule " + module + "_tb;\n";
    t += "  localparam data_bits = " + std::to_string(dataBits) + ";\n";
    t += "  localparam sample_count = " + std::to_string(count) + ";\n";
    if (outputs != "sample_count") {
        t += "  localparam " + outputs + " = " + std::to_string(expected.size()) + ";\n";
    }
    t += "  localparam cycle_limit = " + std::to_string(cycleLimit) + ";\n";
    t += "  // Outputs the model saturated into the data word.\n";
    t += "  localparam model_saturated = " + std::to_string(clipped) + ";\n";
    t += "  integer stimulus [0:" + std::to_string(tableSize - 1) + "];\n";
    t += "  integer expected [0:" + std::to_string(expectedSize - 1) + "];\n";
    t += "  initial begin\n    stimulus[0] = 0;\n    expected[0] = 0;\n" +
         VerilogTable("stimulus", stimulus) + VerilogTable("expected", expected) + "  end\n";
    t += R"(
  reg clk = 1'b0;
  reg rst = 1'b1;
  reg din_valid = 1'b0;
  wire din_ready;
  reg [data_bits-1:0] din = {data_bits{1'b0}};
  wire dout_valid;
  wire [data_bits-1:0] dout;
  reg running = 1'b1;
  reg full_rate = 1'b0;
  integer received = 0;
  integer mismatches = 0;
  integer saturated = 0;
  integer cycle = 0;
  integer longest_interval = 0;
  integer first_taken = -1;
  integer first_latency = -1;
  integer last_taken = -1;

)";
    t += "  " + module +
         " dut (.clk(clk), .rst(rst), .din_valid(din_valid), .din_ready(din_ready),\n";
    t += R"(    .din(din), .dout_valid(dout_valid), .dout(dout));

  always #5 if (running) clk = ~clk;

  // Every output against the model's, in order.
  always @(posedge clk) begin
    if (!rst && dout_valid) begin
      if (dout == {1'b1, {(data_bits - 1){1'b0}}} || dout == {1'b0, {(data_bits - 1){1'b1}}})
        saturated = saturated + 1;
      if (received >= )" +
         outputs + R"() begin
        mismatches = mismatches + 1;
        $display("extra output %0d", $signed(dout));
      end else if ($signed(dout) != expected[received]) begin
        if (mismatches < )" +
         std::to_string(kReportedMismatches) + R"()
          $display("output %0d: got %0d, expected %0d", received, $signed(dout),
                   expected[received]);
        mismatches = mismatches + 1;
      end
      received = received + 1;
    end
  end

  // The clocks between samples taken and from the first sample taken to its output.
  always @(posedge clk) begin
    if (!rst && din_valid && din_ready) begin
      if (last_taken >= 0 && cycle - last_taken > longest_interval)
        longest_interval = cycle - last_taken;
      if (last_taken < 0)
        first_taken = cycle;
      last_taken = cycle;
    end
    if (!rst && dout_valid && first_latency < 0 && first_taken >= 0)
      first_latency = cycle - first_taken - 1; // dout_valid rose at the edge before
    cycle = cycle + 1;
  end

  // Offers the samples with gaps, waits for the outputs, reports.
  integer i, g, gap, cycles, total;
  initial begin
    if ($test$plusargs("full_rate"))
      full_rate = 1'b1;
    cycles = 0;
    repeat ()" +
         std::to_string(kResetCycles) + R"() @(posedge clk);
    rst <= 1'b0;
    for (i = 0; i < sample_count && cycles <= cycle_limit; i = i + 1) begin
      gap = (7 * i) % )" +
         std::to_string(kShortGapSpan) + R"(;
      if (i % )" +
         std::to_string(kLongGapEvery) + " == " + std::to_string(kLongGapEvery - 1) +
         ")\n        gap = " + std::to_string(kLongGap) + R"(;
      if (full_rate)
        gap = 0;
      din_valid <= 1'b0;
      for (g = 0; g < gap; g = g + 1) begin
        @(posedge clk);
        cycles = cycles + 1;
      end
      din <= stimulus[i];
      din_valid <= 1'b1;
      @(posedge clk);
      cycles = cycles + 1;
      while (!din_ready && cycles <= cycle_limit) begin
        @(posedge clk);
        cycles = cycles + 1;
      end
    end
    din_valid <= 1'b0;
    din <= {data_bits{1'b0}};
    while (received < )" +
         outputs + R"( && cycles <= cycle_limit) begin
      @(posedge clk);
      cycles = cycles + 1;
    end
    // A few more cycles, so that an output too many is seen as well.
    repeat (16) @(posedge clk);
    #1;
    $display("longest interval between samples taken: %0d clocks", longest_interval);
    $display("latency of the first sample: %0d clocks", first_latency);
    $display("saturated outputs: %0d at the largest or smallest data word; the model clips %0d",
             saturated, model_saturated);
    total = mismatches;
    if (received < )" +
         outputs + R"() begin
      total = total + )" +
         outputs + R"( - received;
      $display("%0d outputs missing", )" +
         outputs + R"( - received);
    end
    running = 1'b0;
    if (total == 0) begin
      $display("PASS: %0d outputs equal the model", )" +
         outputs + R"();
      $finish;
    end else begin
      $display("FAIL: %0d mismatches", total);
      $fatal(1, "FAIL: %0d mismatches", total);
    end
  end
endmodule
)";
    return t;
}

// ---- CIC filters -------------------------------------------------------------------------------

std::string CicEntity(const dsp::CicParams& p) {
    return p.interpolate ? "cic_interpolator" : "cic_decimator";
}

std::string CicComment(const dsp::CicParams& p, const char* mark, size_t samples, size_t outputs) {
    const std::string m(mark);
    return m + " Self-checking testbench of the generated " + CicEntity(p) + " (" +
           std::to_string(p.stages) + " stages, rate " + std::to_string(p.rate) +
           ", differential delay " + std::to_string(p.delay) + (p.prune ? ", pruned" : "") +
           ").\n" + m + " Offers " + std::to_string(samples) +
           " samples (a run at each full-scale end, then pseudo-random ones) with\n" + m +
           " gaps in din_valid and compares each of the " + std::to_string(outputs) +
           " outputs with the filter's model. Ends with PASS,\n" + m +
           " or FAIL and the number of mismatches. With full_rate (VHDL: the generic,\n" + m +
           " ghdl -r ... -gfull_rate=true; Verilog: vvp ... +full_rate) din_valid stays 1.\n";
}

// Clocks the filter spends per sample taken, and from a sample to its last output.
int CicCyclesPerSample(const dsp::CicParams& p) {
    return p.interpolate ? p.rate + p.stages + 1 : 1;
}

// The VHDL testbench of a rate changer after its comment: the stimulus and the expected outputs
// as tables, `saturatedLines` declaring model_saturated, then the instance, the checks and the
// drive.
std::string RateChangerVhdlTestbench(const std::string& entity, int dataBits, int cycleLimit,
                                     const std::string& saturatedLines,
                                     const std::vector<std::int64_t>& stimulus,
                                     const std::vector<std::int64_t>& expected) {
    std::string t = "library ieee;\nuse ieee.std_logic_1164.all;\nuse ieee.numeric_std.all;\n\n";
    t += "entity " + entity + "_tb is\n  generic (full_rate : boolean := false);\nend entity " +
         entity + "_tb;\n\n";
    t += "architecture sim of " + entity + "_tb is\n";
    t += "  constant data_bits : integer := " + std::to_string(dataBits) + ";\n";
    t += "  constant sample_count : integer := " + std::to_string(stimulus.size()) + ";\n";
    t += "  constant output_count : integer := " + std::to_string(expected.size()) + ";\n";
    t += "  constant cycle_limit : integer := " + std::to_string(cycleLimit) + ";\n";
    t += saturatedLines;
    t += "  type sample_array is array (0 to sample_count - 1) of integer;\n";
    t += "  type output_array is array (0 to output_count - 1) of integer;\n";
    t += "  constant stimulus : sample_array := (\n" + IntegerTable(stimulus) + "  );\n";
    t += "  constant expected : output_array := (\n" + IntegerTable(expected) + "  );\n";
    t += R"(  signal clk : std_logic := '0';
  signal rst : std_logic := '1';
  signal din_valid : std_logic := '0';
  signal din_ready : std_logic;
  signal din : std_logic_vector(data_bits - 1 downto 0) := (others => '0');
  signal dout_valid : std_logic;
  signal dout : std_logic_vector(data_bits - 1 downto 0);
  signal running : boolean := true;
  signal received : integer := 0;
  signal mismatches : integer := 0;
  signal saturated : integer := 0;
  signal cycle : integer := 0;
  signal longest_interval : integer := 0;
  signal first_taken : integer := -1;
  signal first_latency : integer := -1;
begin
)";
    return t + InstanceAndCheck(entity, "output_count") + DriveProcess("output_count");
}

std::string CicVhdlTestbench(const dsp::CicParams& p, int cycleLimit,
                             const std::vector<std::int64_t>& stimulus,
                             const std::vector<std::int64_t>& expected) {
    return CicComment(p, "--", stimulus.size(), expected.size()) +
           RateChangerVhdlTestbench(CicEntity(p), p.dataBits, cycleLimit,
                                    "  constant model_saturated : integer := 0;\n", stimulus,
                                    expected);
}

// ---- Polyphase rate changers --------------------------------------------------------------------

std::string PolyphaseEntity(RateChange rate) {
    return rate.kind == RateKind::kInterpolate ? "firfilter_interp" : "firfilter_decim";
}

std::string PolyphaseComment(RateChange rate, const char* mark, size_t samples, size_t waveCount,
                             size_t outputs) {
    const std::string m(mark);
    const bool decimate = rate.kind == RateKind::kDecimate;
    return m + " Self-checking testbench of the generated " + PolyphaseEntity(rate) + " (" +
           (decimate ? "decimation by " : "interpolation by ") + std::to_string(rate.factor) +
           ").\n" + m + " Offers " + std::to_string(samples) + " samples (" +
           std::to_string(waveCount) + " of the test wave, then full-scale bursts that drive an\n" +
           m + " output to its largest and smallest values) with gaps in din_valid and compares\n" +
           m + " each of the " + std::to_string(outputs) +
           " outputs with the fixed-point model of the filter. Ends with PASS,\n" + m +
           " or FAIL and the number of mismatches. With full_rate (VHDL: the generic,\n" + m +
           " ghdl -r ... -gfull_rate=true; Verilog: vvp ... +full_rate) din_valid stays 1.\n";
}

// The literals the burst's samples line up with, newest sample first: every tap for a
// decimator, the taps of the phase with the largest sum of magnitudes for an interpolator.
std::vector<std::int64_t> BurstTaps(const std::vector<std::int64_t>& taps, RateChange rate) {
    if (rate.kind != RateKind::kInterpolate) {
        return taps;
    }
    std::vector<std::int64_t> best;
    std::int64_t bestGain = -1;
    for (int p = 0; p < rate.factor; ++p) {
        std::vector<std::int64_t> phase;
        std::int64_t gain = 0;
        for (size_t k = static_cast<size_t>(p); k < taps.size();
             k += static_cast<size_t>(rate.factor)) {
            phase.push_back(taps[k]);
            gain += taps[k] < 0 ? -taps[k] : taps[k];
        }
        if (gain > bestGain) {
            best = phase;
            bestGain = gain;
        }
    }
    return best;
}

std::string PolyphaseVhdlTestbench(RateChange rate, int dataBits, int cycleLimit, int clipped,
                                   const std::string& comment,
                                   const std::vector<std::int64_t>& stimulus,
                                   const std::vector<std::int64_t>& expected) {
    return comment +
           RateChangerVhdlTestbench(PolyphaseEntity(rate), dataBits, cycleLimit,
                                    "  -- Outputs the model saturated into the data word.\n"
                                    "  constant model_saturated : integer := " +
                                        std::to_string(clipped) + ";\n",
                                    stimulus, expected);
}

} // namespace

std::vector<std::int64_t> PolyphaseTestbenchStimulus(const dsp::FilterCoefficients& c, int dataBits,
                                                     std::span<const double> wave,
                                                     RateChange rate) {
    std::vector<std::int64_t> x = ScaleStimulus(wave, dataBits);
    const std::int64_t largest = (std::int64_t{1} << (dataBits - 1)) - 1;
    const std::int64_t smallest = -largest - 1;
    const std::vector<std::int64_t> taps = BurstTaps(FirLiterals(c), rate);
    const size_t factor = static_cast<size_t>(std::max(rate.factor, 1));
    for (const int polarity : {1, -1}) {
        // A decimator keeps the outputs of samples 0, M, 2M, ...: zeros first, so that the
        // burst's last sample is one of them.
        if (rate.kind == RateKind::kDecimate) {
            const size_t end = x.size() + std::max<size_t>(taps.size(), 1) - 1;
            x.insert(x.end(), (factor - end % factor) % factor, 0);
        }
        for (auto tap = taps.rbegin(); tap != taps.rend(); ++tap) {
            x.push_back((*tap < 0 ? -polarity : polarity) > 0 ? largest : smallest);
        }
    }
    return x;
}

std::string BuildPolyphaseTestbench(const dsp::FilterCoefficients& c, int dataBits,
                                    std::span<const double> wave, RateChange rate,
                                    HdlLanguage language) {
    const std::vector<std::int64_t> stimulus = PolyphaseTestbenchStimulus(c, dataBits, wave, rate);
    const std::vector<std::int64_t> literals = FirLiterals(c);
    SaturationCount saturation;
    const std::vector<std::int64_t> expected =
        PolyphaseBitTrue(literals, c.bits, dataBits, stimulus, rate, &saturation);
    // A job's products, one clock each, and a few to start and end it, at every sample.
    const int entries = static_cast<int>(PolyphaseEntries(literals, rate).size());
    const int count = static_cast<int>(stimulus.size());
    const int cycleLimit =
        (count + 1) * (entries + rate.factor + kLongGap + 4) + 100 + kResetCycles;
    const char* mark = language == HdlLanguage::kVhdl ? "--" : "//";
    const std::string comment =
        PolyphaseComment(rate, mark, stimulus.size(), wave.size(), expected.size());
    if (language == HdlLanguage::kVhdl) {
        return PolyphaseVhdlTestbench(rate, dataBits, cycleLimit, saturation.filterOutput, comment,
                                      stimulus, expected);
    }
    return VerilogTestbench(PolyphaseEntity(rate), dataBits, cycleLimit, comment, "output_count",
                            stimulus, expected, saturation.filterOutput);
}

std::vector<std::int64_t> CicTestbenchStimulus(const dsp::CicParams& p) {
    const size_t kernel = static_cast<size_t>(dsp::DescribeCic(p).kernelLength);
    const size_t rate = static_cast<size_t>(p.rate);
    // Long enough for an output whose kernel lies wholly inside the run, and 16 outputs more.
    const size_t span = p.interpolate ? (kernel + rate - 1) / rate + 1 : kernel + rate;
    const size_t tail = p.interpolate ? 16 : 16 * rate;
    const std::int64_t high = (std::int64_t{1} << (p.dataBits - 1)) - 1;
    std::vector<std::int64_t> x(span, high);
    x.insert(x.end(), span, -high - 1);
    std::uint32_t state = 2463534242u;
    for (size_t i = 0; i < tail; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        x.push_back(static_cast<std::int64_t>(state % static_cast<std::uint32_t>(2 * high + 2)) -
                    high - 1);
    }
    return x;
}

std::string BuildCicTestbench(const dsp::CicParams& p, HdlLanguage language) {
    const std::vector<std::int64_t> stimulus = CicTestbenchStimulus(p);
    const std::vector<std::int64_t> expected = dsp::RunCic(p, stimulus);
    const int count = static_cast<int>(stimulus.size());
    const int cycleLimit =
        (count + 1) * (CicCyclesPerSample(p) + kLongGap + 2) + 4 * p.stages + 100 + kResetCycles;
    if (language == HdlLanguage::kVhdl) {
        return CicVhdlTestbench(p, cycleLimit, stimulus, expected);
    }
    return VerilogTestbench(CicEntity(p), p.dataBits, cycleLimit,
                            CicComment(p, "//", stimulus.size(), expected.size()), "output_count",
                            stimulus, expected, 0);
}

std::string BuildTestbench(const dsp::FilterCoefficients& c, int dataBits,
                           std::span<const double> wave, HdlLanguage language) {
    if (language == HdlLanguage::kVhdl) {
        return BuildTestbench(c, dataBits, wave);
    }
    const std::vector<std::int64_t> stimulus = Stimulus(c, dataBits, wave);
    int clipped = 0;
    const std::vector<std::int64_t> expected = ExpectedOutputs(c, dataBits, stimulus, &clipped);
    const int count = static_cast<int>(stimulus.size());
    const int cycleLimit = (count + 1) * (CyclesPerSample(c) + kLongGap + 2) + 100 + kResetCycles;
    const std::string module = c.iir ? "iirfilter" : "firfilter";
    return VerilogTestbench(module, dataBits, cycleLimit,
                            VerilogComment(module, count, static_cast<int>(wave.size())),
                            "sample_count", stimulus, expected, clipped);
}

std::string BuildTestbench(const dsp::FilterCoefficients& c, int dataBits,
                           std::span<const double> wave) {
    const std::string entity = c.iir ? "iirfilter" : "firfilter";
    const std::vector<std::int64_t> stimulus = Stimulus(c, dataBits, wave);
    int clipped = 0;
    const std::vector<std::int64_t> expected = ExpectedOutputs(c, dataBits, stimulus, &clipped);
    const int count = static_cast<int>(stimulus.size());
    const int cycleLimit = (count + 1) * (CyclesPerSample(c) + kLongGap + 2) + 100 + kResetCycles;
    return Declarations(entity, dataBits, cycleLimit, static_cast<int>(wave.size()), stimulus,
                        expected, clipped) +
           InstanceAndCheck(entity) + DriveProcess();
}

} // namespace vhdl
