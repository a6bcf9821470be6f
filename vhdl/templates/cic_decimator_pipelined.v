// cic_decimator: cascaded integrator-comb decimator with split, pipelined adders.
//
// Architecture: CICSTAGES integrators at the input rate, a rate change by CICRATE, CICSTAGES
// combs of differential delay CICDELAY at the output rate. Every register is CICWIDTH bits
// (data bits + growth) and wraps in two's complement, which keeps the result exact. Each
// register is split in a low half (the lowest `low` bits) and a high half; a stage adds (or, in
// a comb, subtracts) the low halves on one clock and the high halves with the registered carry
// on the next, so no carry chain is longer than half the register. The high halves run one
// clock behind the low ones all the way down: stage k's high half takes stage k-1's high half
// on the clock stage k-1 wrote it. Each stage takes one sample per clock.
//   Cycles per sample: 1 (din_ready is always 1 out of reset).
//   Output m = floor(sum_k h[k] x[m*rate - k] / 2^growth), h the stages-fold convolution of
//   rate*delay ones: dout is the top data bits of the last comb, two clocks after the exact
//   template's.
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
  localparam low       = width / 2;
  localparam high      = width - low;

  localparam [10:0] last_phase = rate - 1;

  // Stage 0 is the sample taken (din_word; its high half copied to ihi[0] a clock later), stages
  // 1..stages the integrators. ilo_valid[k]: stage k wrote its low half on the last edge; its
  // high half follows on the next (ihi_valid[k]).
  reg [width-1:0] din_word;
  reg [low-1:0]   ilo [1:stages];
  reg [high-1:0]  ihi [0:stages];
  reg             icarry [1:stages];
  reg [stages:0]  ilo_valid, ihi_valid;
  // Stage 0 of the combs is the sample entering them; comb k's last delay inputs, each half.
  reg [low-1:0]   clo [0:stages];
  reg [high-1:0]  chi [0:stages];
  reg             cborrow [1:stages];
  reg [stages:0]  clo_valid, chi_valid;
  reg [low-1:0]   hlo [0:stages*delay-1];
  reg [high-1:0]  hhi [0:stages*delay-1];
  // The phase of the rate change, and whether it is 0 or the last (registered: the comb capture
  // waits on no comparison).
  reg [10:0]      phase;
  reg             at_zero, at_last;
  reg             ready;
  integer k, j;

  // The carry out of a + b and the borrow out of a - b, low halves.
  function carry_of;
    input [low-1:0] a, b;
    reg [low:0] s;
    begin
      s = {1'b0, a} + {1'b0, b};
      carry_of = s[low];
    end
  endfunction
  function borrow_of;
    input [low-1:0] a, b;
    reg [low:0] s;
    begin
      s = {1'b0, a} - {1'b0, b};
      borrow_of = s[low];
    end
  endfunction

  // The high half plus b plus a carry (or minus b minus a borrow) in one carry chain: the low
  // bit of the wider sum makes the carry in.
  function [high-1:0] add_carry;
    input [high-1:0] a, b;
    input            c;
    // verilator lint_off UNUSEDSIGNAL
    reg   [high:0]   s; // s[0] only makes the carry in
    // verilator lint_on UNUSEDSIGNAL
    begin
      s = {a, 1'b1} + {b, c};
      add_carry = s[high:1];
    end
  endfunction

  // dout: bits shift .. shift + data_bits - 1 of the last comb, from whichever half holds them.
  genvar g;
  generate
    for (g = 0; g < data_bits; g = g + 1) begin : out_bits
      if (shift + g >= low) begin : from_high
        assign dout[g] = chi[stages][shift+g-low];
      end else begin : from_low
        assign dout[g] = clo[stages][shift+g];
      end
    end
  endgenerate

  assign din_ready  = ready;
  assign dout_valid = chi_valid[stages];

  initial begin
    for (k = 0; k <= stages; k = k + 1) begin
      ihi[k] = 0; clo[k] = 0; chi[k] = 0;
    end
    for (k = 1; k <= stages; k = k + 1) begin
      ilo[k] = 0; icarry[k] = 1'b0; cborrow[k] = 1'b0;
    end
    din_word = 0;
    for (k = 0; k < stages * delay; k = k + 1) begin
      hlo[k] = 0; hhi[k] = 0;
    end
    ilo_valid = 0; ihi_valid = 0; clo_valid = 0; chi_valid = 0;
    phase = 0;
    at_zero = 1'b1;
    at_last = 1'b0;
    ready = 1'b0;
  end

  always @(posedge clk) begin
    if (rst) begin
      for (k = 0; k <= stages; k = k + 1) begin
        ihi[k] <= 0; clo[k] <= 0; chi[k] <= 0;
      end
      for (k = 1; k <= stages; k = k + 1) begin
        ilo[k] <= 0; icarry[k] <= 1'b0; cborrow[k] <= 1'b0;
      end
      din_word <= 0;
      for (k = 0; k < stages * delay; k = k + 1) begin
        hlo[k] <= 0; hhi[k] <= 0;
      end
      ilo_valid <= 0; ihi_valid <= 0; clo_valid <= 0; chi_valid <= 0;
      phase <= 0;
      at_zero <= 1'b1;
      at_last <= 1'b0;
      ready <= 1'b0;
    end else begin
      ready <= 1'b1;
      ihi_valid <= ilo_valid;
      chi_valid <= clo_valid;
      // The sample taken, sign-extended to the register width: its high half a clock later.
      ilo_valid[0] <= din_valid & ready;
      if (din_valid && ready)
        din_word <= {{(width-data_bits){din[data_bits-1]}}, din};
      if (ilo_valid[0])
        ihi[0] <= din_word[width-1:low];
      // Integrator k: the low halves with their carry, then the high halves.
      for (k = 1; k <= stages; k = k + 1) begin
        ilo_valid[k] <= ilo_valid[k-1];
        if (ilo_valid[k-1]) begin
          ilo[k] <= ilo[k] + (k == 1 ? din_word[low-1:0] : ilo[k-1]);
          icarry[k] <= carry_of(ilo[k], k == 1 ? din_word[low-1:0] : ilo[k-1]);
        end
        if (ihi_valid[k-1])
          ihi[k] <= add_carry(ihi[k], ihi[k-1], icarry[k]);
      end
      // Every rate-th sample out of the last integrator enters the combs.
      clo_valid[0] <= 1'b0;
      if (ilo_valid[stages]) begin
        if (at_zero) begin
          clo[0] <= ilo[stages];
          clo_valid[0] <= 1'b1;
        end
        phase <= at_last ? 11'd0 : phase + 11'd1;
        at_zero <= at_last;
        at_last <= phase == last_phase - 11'd1;
      end
      if (clo_valid[0])
        chi[0] <= ihi[stages];
      // Comb k: its input minus the input delay samples before, low halves then high halves.
      for (k = 1; k <= stages; k = k + 1) begin
        clo_valid[k] <= clo_valid[k-1];
        if (clo_valid[k-1]) begin
          clo[k] <= clo[k-1] - hlo[(k-1)*delay + delay - 1];
          cborrow[k] <= borrow_of(clo[k-1], hlo[(k-1)*delay + delay - 1]);
          hlo[(k-1)*delay] <= clo[k-1];
          for (j = 1; j < delay; j = j + 1)
            hlo[(k-1)*delay + j] <= hlo[(k-1)*delay + j - 1];
        end
        if (chi_valid[k-1]) begin
          chi[k] <= add_carry(chi[k-1], ~hhi[(k-1)*delay + delay - 1], ~cborrow[k]);
          hhi[(k-1)*delay] <= chi[k-1];
          for (j = 1; j < delay; j = j + 1)
            hhi[(k-1)*delay + j] <= hhi[(k-1)*delay + j - 1];
        end
      end
    end
  end
endmodule
