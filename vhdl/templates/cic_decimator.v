// cic_decimator: cascaded integrator-comb decimator.
//
// Architecture: CICSTAGES integrators at the input rate, a rate change by CICRATE, CICSTAGES
// combs of differential delay CICDELAY at the output rate. Every register is CICWIDTH bits
// (data bits + growth) and wraps in two's complement, which keeps the result exact. Each stage
// is one register: a sample moves one stage per clock, marked by a valid bit, so the chain
// takes one sample per clock whatever the gaps between samples.
//   Cycles per sample: 1 (din_ready is always 1 out of reset).
//   Latency: 2 * stages + 1 clocks from the edge that takes sample m*rate to dout_valid.
//   Output m = floor(sum_k h[k] x[m*rate - k] / 2^growth), h the stages-fold convolution of
//   rate*delay ones: dout is the top data bits of the last comb.
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

  assign din_ready  = ready;
  assign dout       = comb[stages][shift+data_bits-1:shift];
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
          integ[k] <= integ[k] + (k == 1 ? din_word : integ[k-1]);
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
          comb[k] <= comb[k-1] - history[(k-1)*delay + delay - 1];
          history[(k-1)*delay] <= comb[k-1];
          for (j = 1; j < delay; j = j + 1)
            history[(k-1)*delay + j] <= history[(k-1)*delay + j - 1];
        end
      end
    end
  end
endmodule
