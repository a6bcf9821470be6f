// cic_interpolator: cascaded integrator-comb interpolator.
//
// Architecture: CICSTAGES combs of differential delay CICDELAY at the input rate, a rate change
// by CICRATE (each combed sample followed by rate - 1 zeros), CICSTAGES integrators at the output
// rate. Every register is CICWIDTH bits (data bits + growth) and wraps in two's complement, which
// keeps the result exact. Each stage is one register: a value moves one stage per clock, marked
// by a valid bit.
//   Cycles per sample: rate + stages + 1 (din_ready is 0 from the edge that takes a sample until
//   the last of its zeros enters the integrators).
//   Output: rate douts per sample, one per clock; output n = floor(sum_k h[k] u[n - k] /
//   2^growth), u the zero-stuffed input, h the stages-fold convolution of rate*delay ones: dout
//   is the top data bits of the last integrator.
// din and dout are two's complement. rst is synchronous, active high, and clears all state.
// Verilog-2001, synthesizable, no vendor primitives.
module cic_interpolator (
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

  // comb k's output (comb[0] the sample taken) and the last delay inputs of comb k
  reg [width-1:0] comb [0:stages];
  reg [stages:0]  comb_valid;
  reg [width-1:0] history [0:stages*delay-1];
  // the zero-stuffed stream into the integrators: zeros still to come after a combed sample
  reg [width-1:0] feed;
  reg [31:0]      zeros;
  reg [width-1:0] integ [1:stages];
  reg [stages:0]  integ_valid;
  reg             ready;
  reg             fresh;
  integer k, j;

  assign din_ready  = ready;
  assign dout       = integ[stages][shift+data_bits-1:shift];
  assign dout_valid = integ_valid[stages];

  initial begin
    for (k = 0; k <= stages; k = k + 1) comb[k] = {width{1'b0}};
    for (k = 0; k < stages * delay; k = k + 1) history[k] = {width{1'b0}};
    for (k = 1; k <= stages; k = k + 1) integ[k] = {width{1'b0}};
    comb_valid = 0;
    integ_valid = 0;
    feed = 0;
    zeros = 0;
    ready = 1'b0;
    fresh = 1'b1;
  end

  always @(posedge clk) begin
    if (rst) begin
      for (k = 0; k <= stages; k = k + 1) comb[k] <= {width{1'b0}};
      for (k = 0; k < stages * delay; k = k + 1) history[k] <= {width{1'b0}};
      for (k = 1; k <= stages; k = k + 1) integ[k] <= {width{1'b0}};
      comb_valid <= 0;
      integ_valid <= 0;
      feed <= 0;
      zeros <= 0;
      ready <= 1'b0;
      fresh <= 1'b1;
    end else begin
      fresh <= 1'b0;
      // One sample at a time: taken, then ready again when its last zero is fed.
      comb_valid[0] <= din_valid & ready;
      if (din_valid && ready) begin
        comb[0] <= {{(width-data_bits){din[data_bits-1]}}, din};
        ready <= 1'b0;
      end else if (fresh || zeros == 1)
        ready <= 1'b1;
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
      // The combed sample, then rate - 1 zeros, one per clock.
      integ_valid[0] <= 1'b0;
      if (comb_valid[stages]) begin
        feed <= comb[stages];
        integ_valid[0] <= 1'b1;
        zeros <= rate - 1;
      end else if (zeros > 0) begin
        feed <= {width{1'b0}};
        integ_valid[0] <= 1'b1;
        zeros <= zeros - 1;
      end
      // Integrator k adds what integrator k-1 held when it marked a value.
      for (k = 1; k <= stages; k = k + 1) begin
        integ_valid[k] <= integ_valid[k-1];
        if (integ_valid[k-1])
          integ[k] <= integ[k] + (k == 1 ? feed : integ[k-1]);
      end
    end
  end
endmodule
