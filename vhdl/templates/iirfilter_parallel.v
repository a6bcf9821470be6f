@[n=1]// iirfilter: cascade of 1 second-order IIR section, one sample per clock.
@[n>1]// iirfilter: cascade of @{n} second-order IIR sections, one sample per clock.
//
// Architecture: each section has its own five multipliers and computes
//   w = a0*x(n) + a1*x(n-1) + a2*x(n-2) + nb1*y(n-1) + nb2*y(n-2)
// (nb1, nb2 the negated feedback coefficients) in full precision, shifts w right by the
// coefficient bit length minus one (floor) and saturates it to the section word (data bits + 4)
// in one clock, so that its feedback is ready for the next sample. A register between sections
// holds each section's output for the next; a valid bit travels alongside. A sample is taken at
// every rising edge of clk where din_valid is 1 (din_ready stays 1 after reset); the last
// section's output, saturated to the data bits, is dout.
//   Cycles per sample: 1.
//   Latency: sections + 1 = @{n+1} clocks from the edge that takes a sample to dout_valid.
//   Resources: five multipliers and a five-input adder per section, four words of history per
//   section, one pipeline register per section. The clock period is bounded by one section:
//   a multiplier and the five-input sum.
// din and dout are two's complement. rst is synchronous, active high, and clears all state;
// each sample taken gives exactly one output, marked by dout_valid high for one clock.
// Verilog-2001, synthesizable, no vendor primitives.
module iirfilter (
  input  wire              clk,
  input  wire              rst,
  input  wire              din_valid,
  output wire              din_ready,
  input  wire [DIOB-4-1:0] din,
  output wire              dout_valid,
  output wire [DIOB-4-1:0] dout
);
  localparam sections   = @{n};
  localparam coeff_bits = COB;
  localparam frac_bits  = COB-2 - 1;
  localparam data_bits  = DIOB-4;
  localparam state_bits = DIOB;
  localparam acc_bits   = coeff_bits + state_bits + 3;
  localparam prod_bits  = coeff_bits + state_bits;

  // Term t (a0, a1, a2, nb1, nb2) of section s in coefficient bits.
  function signed [COB-1:0] coeff;
    input integer s;
    input integer t;
    begin
      // rom_style: the table stays in logic, as the VHDL's constant array does (yosys
      // would otherwise move it to block RAM).
      (* rom_style = "logic" *)
      case (5 * s + t)
//@SECTION
        @{5*(s-1):2}: coeff = COB'brepa0; // section @{s} a0
        @{5*(s-1)+1:2}: coeff = COB'brepa1; // section @{s} a1
        @{5*(s-1)+2:2}: coeff = COB'brepa2; // section @{s} a2
        @{5*(s-1)+3:2}: coeff = COB'brepb1; // section @{s} nb1
        @{5*(s-1)+4:2}: coeff = COB'brepb2; // section @{s} nb2
//@END
        default: coeff = {COB{1'b0}};
      endcase
    end
  endfunction

  // w shifted right by frac_bits (floor) and saturated to a section word: kept when every bit
  // from state_bits - 1 up is a copy of the sign, otherwise the largest word of w's sign.
  function [state_bits-1:0] scale;
    input signed [acc_bits-1:0] w;
    reg signed [acc_bits-1:0] shifted;
    begin
      shifted = w >>> frac_bits;
      if (shifted[acc_bits-1:state_bits-1] == {(acc_bits - state_bits + 1){shifted[acc_bits-1]}})
        scale = shifted[state_bits-1:0];
      else
        scale = {shifted[acc_bits-1], {(state_bits - 1){~shifted[acc_bits-1]}}};
    end
  endfunction

  // A section word saturated to a data word, in the same way.
  function [data_bits-1:0] to_data;
    input signed [state_bits-1:0] y;
    begin
      if (y[state_bits-1:data_bits-1] == {(state_bits - data_bits + 1){y[state_bits-1]}})
        to_data = y[data_bits-1:0];
      else
        to_data = {y[state_bits-1], {(data_bits - 1){~y[state_bits-1]}}};
    end
  endfunction


  // stage_in[s * state_bits +: state_bits]: the input of section s, held in section s - 1's
  // output register (the cascade input's for s = 0); stage_in of sections: the cascade's
  // output. stage_valid[s] marks it as a sample's.
  wire [(sections+1)*state_bits-1:0] stage_in;
  wire [sections:0]                  stage_valid;
  reg  signed [state_bits-1:0]       first_in;
  reg                                first_valid;
  reg  [data_bits-1:0]               result;
  reg                                valid;
  reg                                running;

  assign din_ready  = running;
  assign dout       = result;
  assign dout_valid = valid;
  assign stage_in[state_bits-1:0] = first_in;
  assign stage_valid[0] = first_valid;

  // Each section: its five products summed, shifted, saturated and registered in one clock, with
  // its last and before-last input and output.
  genvar s;
  generate
    for (s = 0; s < sections; s = s + 1) begin : stage
      wire signed [state_bits-1:0] x = stage_in[s*state_bits +: state_bits];
      reg  signed [state_bits-1:0] x1, x2, y1, y2, out;
      reg                          out_valid;
      wire signed [prod_bits-1:0]  p0 = coeff(s, 0) * x;
      wire signed [prod_bits-1:0]  p1 = coeff(s, 1) * x1;
      wire signed [prod_bits-1:0]  p2 = coeff(s, 2) * x2;
      wire signed [prod_bits-1:0]  p3 = coeff(s, 3) * y1;
      wire signed [prod_bits-1:0]  p4 = coeff(s, 4) * y2;
      wire signed [acc_bits-1:0]   w = {{(acc_bits - prod_bits){p0[prod_bits-1]}}, p0} +
                                       {{(acc_bits - prod_bits){p1[prod_bits-1]}}, p1} +
                                       {{(acc_bits - prod_bits){p2[prod_bits-1]}}, p2} +
                                       {{(acc_bits - prod_bits){p3[prod_bits-1]}}, p3} +
                                       {{(acc_bits - prod_bits){p4[prod_bits-1]}}, p4};
      wire [state_bits-1:0]        y = scale(w);
      always @(posedge clk) begin
        if (rst) begin
          x1        <= {state_bits{1'b0}};
          x2        <= {state_bits{1'b0}};
          y1        <= {state_bits{1'b0}};
          y2        <= {state_bits{1'b0}};
          out       <= {state_bits{1'b0}};
          out_valid <= 1'b0;
        end else begin
          out_valid <= stage_valid[s];
          if (stage_valid[s]) begin
            x2  <= x1;
            x1  <= x;
            y2  <= y1;
            y1  <= y;
            out <= y;
          end
        end
      end
      assign stage_in[(s+1)*state_bits +: state_bits] = out;
      assign stage_valid[s+1] = out_valid;
    end
  endgenerate

  always @(posedge clk) begin
    if (rst) begin
      running     <= 1'b0;
      first_in    <= {state_bits{1'b0}};
      first_valid <= 1'b0;
      result      <= {data_bits{1'b0}};
      valid       <= 1'b0;
    end else begin
      running     <= 1'b1;
      first_valid <= din_valid & running;
      if (din_valid && running)
        first_in <= {{(state_bits - data_bits){din[data_bits-1]}}, din};
      valid <= stage_valid[sections];
      if (stage_valid[sections])
        result <= to_data(stage_in[sections*state_bits +: state_bits]);
    end
  end
endmodule
