// cic_decimator: cascaded integrator-comb decimator with pruned registers.
//
// Architecture: CICSTAGES integrators at the input rate, a rate change by CICRATE, CICSTAGES
// combs of differential delay CICDELAY at the output rate. Every register is CICWIDTH bits
// (data bits + growth + 1) and wraps in two's complement; stage j (the integrators, then the
// combs) drops the lowest bits of what it takes in (drops[8*(j-1) +: 8] of them), so those bits
// of its register are always 0 and synthesis removes them. The output is the sum shifted down
// by the growth, saturated to the data bits; it differs from the exact filter's by at most a
// bound the pruning sets (stated where the filter is generated). Each stage
// is one register: a sample moves one stage per clock, marked by a valid bit, so the chain
// takes one sample per clock whatever the gaps between samples.
//   Cycles per sample: 1 (din_ready is always 1 out of reset).
//   Latency: 2 * stages + 1 clocks from the edge that takes sample m*rate to dout_valid.
//   Output m ~ floor(sum_k h[k] x[m*rate - k] / 2^growth), h the stages-fold convolution of
//   rate*delay ones.
// din and dout are two's complement. rst is synchronous, active high, and clears all state;
// every rate-th sample taken (the first one included) gives one output, marked by dout_valid
// high for one clock.
// Verilog-2001, synthesizable, no vendor primitives.
module cic_decimator (
  input  wire               clk,
  input  wire               rst,
  input  wire               din_valid,
  output wire               din_ready,
  input  wire [CICDATA-1:0] din,
  output wire               dout_valid,
  output wire [CICDATA-1:0] dout
);
  localparam stages    = CICSTAGES;
  localparam rate      = CICRATE;
  localparam delay     = CICDELAY;
  localparam data_bits = CICDATA;
  localparam width     = CICWIDTH;
  localparam shift     = CICSHIFT;
  // bits dropped at the input of integrator 1..stages, then of comb 1..stages, 8 bits each
  localparam [16*stages-1:0] drops = CICDROPS;

  reg [width-1:0] integ [1:stages];
  reg [stages:0]  integ_valid;
  reg [width-1:0] din_word;
  reg [31:0]      phase;
  // comb k's output and the last delay inputs of comb k (history[(k-1)*delay] the newest)
  reg [width-1:0] comb [0:stages];
  reg [stages:0]  comb_valid;
  reg [width-1:0] history [0:stages*delay-1];
  reg             ready;
  integer k, j;

  // the last comb shifted down: one bit more than the output, saturated away
  wire [data_bits:0] shifted = comb[stages][width-1:shift];

  // v with its lowest d bits cleared
  function [width-1:0] keep;
    input [width-1:0] v;
    input [7:0] d;
    begin
      keep = (v >> d) << d;
    end
  endfunction

  assign din_ready  = ready;
  assign dout       = shifted[data_bits] == shifted[data_bits-1] ? shifted[data_bits-1:0]
                      : {shifted[data_bits], {(data_bits-1){~shifted[data_bits]}}};
  assign dout_valid = comb_valid[stages];

  initial begin
    for (k = 1; k <= stages; k = k + 1) integ[k] = {width{1'b0}};
    for (k = 0; k <= stages; k = k + 1) comb[k] = {width{1'b0}};
    for (k = 0; k < stages * delay; k = k + 1) history[k] = {width{1'b0}};
    integ_valid = 0;
    comb_valid = 0;
    din_word = 0;
    phase = 0;
    ready = 1'b0;
  end

  always @(posedge clk) begin
    if (rst) begin
      for (k = 1; k <= stages; k = k + 1) integ[k] <= {width{1'b0}};
      for (k = 0; k <= stages; k = k + 1) comb[k] <= {width{1'b0}};
      for (k = 0; k < stages * delay; k = k + 1) history[k] <= {width{1'b0}};
      integ_valid <= 0;
      comb_valid <= 0;
      din_word <= 0;
      phase <= 0;
      ready <= 1'b0;
    end else begin
      ready <= 1'b1;
      // The sample taken, sign-extended to the register width.
      integ_valid[0] <= din_valid & ready;
      if (din_valid && ready)
        din_word <= {{(width-data_bits){din[data_bits-1]}}, din};
      // Integrator k adds what integrator k-1 held when it marked a sample.
      for (k = 1; k <= stages; k = k + 1) begin
        integ_valid[k] <= integ_valid[k-1];
        if (integ_valid[k-1])
          integ[k] <= integ[k] + keep(k == 1 ? din_word : integ[k-1], drops[8*(k-1) +: 8]);
      end
      // Every rate-th sample out of the last integrator enters the combs.
      comb_valid[0] <= 1'b0;
      if (integ_valid[stages]) begin
        if (phase == 0) begin
          comb[0] <= integ[stages];
          comb_valid[0] <= 1'b1;
        end
        phase <= (phase == rate - 1) ? 0 : phase + 1;
      end
      // Comb k: its input minus the input delay samples before.
      for (k = 1; k <= stages; k = k + 1) begin
        comb_valid[k] <= comb_valid[k-1];
        if (comb_valid[k-1]) begin
          comb[k] <= keep(comb[k-1], drops[8*(stages+k-1) +: 8])
                     - history[(k-1)*delay + delay - 1];
          history[(k-1)*delay] <= keep(comb[k-1], drops[8*(stages+k-1) +: 8]);
          for (j = 1; j < delay; j = j + 1)
            history[(k-1)*delay + j] <= history[(k-1)*delay + j - 1];
        end
      end
    end
  end
endmodule
