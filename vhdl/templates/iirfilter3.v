// iirfilter: cascade of 3 second-order IIR sections, serial multiply-accumulate.
//
// Architecture: one multiplier and one accumulator shared by all sections. A sample taken at a
// rising edge of clk where din_valid and din_ready are both 1 is sign-extended to the section
// word (data bits + 4). Each section then takes five clocks to sum
//   w = a0*x(n) + a1*x(n-1) + a2*x(n-2) + nb1*y(n-1) + nb2*y(n-2)
// in full precision (nb1, nb2 are the negated feedback coefficients) and one clock to shift w
// right by the coefficient bit length minus one (floor), saturate it to the section word and
// pass it on as the next section's input. The last section's output, saturated to the data
// bits, is dout.
//   Cycles per sample: 6 * sections + 1 = 19 (din_ready is 0 while the cascade runs).
//   Latency: 6 * sections = 18 clocks from the edge that takes a sample to dout_valid.
//   Resources: one multiplier, one adder, two words of history per section and one more.
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
  localparam sections   = 3;
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
         0: coeff = COB'brepa0; // section 1 a0
         1: coeff = COB'brepa1; // section 1 a1
         2: coeff = COB'brepa2; // section 1 a2
         3: coeff = COB'brepb1; // section 1 nb1
         4: coeff = COB'brepb2; // section 1 nb2
         5: coeff = COB'brepa0; // section 2 a0
         6: coeff = COB'brepa1; // section 2 a1
         7: coeff = COB'brepa2; // section 2 a2
         8: coeff = COB'brepb1; // section 2 nb1
         9: coeff = COB'brepb2; // section 2 nb2
        10: coeff = COB'brepa0; // section 3 a0
        11: coeff = COB'brepa1; // section 3 a1
        12: coeff = COB'brepa2; // section 3 a2
        13: coeff = COB'brepb1; // section 3 nb1
        14: coeff = COB'brepb2; // section 3 nb2
        default: coeff = {COB{1'b0}};
      endcase
    end
  endfunction

  // Bits of an unsigned counter that holds 0 .. n - 1 (at least one).
  function integer counter_bits;
    input integer n;
    integer width;
    begin
      width = 1;
      while ((1 << width) < n)
        width = width + 1;
      counter_bits = width;
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

  localparam section_bits = counter_bits(sections);
  localparam [1:0] IDLE = 2'd0, ACCUMULATE = 2'd1, FINISH = 2'd2;

  reg  [1:0]                         state;
  reg  [section_bits-1:0]            section;
  reg  signed [state_bits-1:0]       current;
  // History node 0 is the cascade input, node s + 1 the output of section s: the latest and
  // the one before the latest value of each, node s at [s * state_bits +: state_bits].
  reg  [(sections+1)*state_bits-1:0] latest, earlier;
  reg  signed [acc_bits-1:0]         acc;
  reg  [data_bits-1:0]               result;
  reg                                valid;
  integer k;

  assign din_ready  = state == IDLE;
  assign dout       = result;
  assign dout_valid = valid;

  wire [31:0] section_index = {{(32 - section_bits){1'b0}}, section};
  wire [state_bits-1:0] y = scale(acc);
  reg  [2:0]                         term;
  wire [31:0] term_index = {29'b0, term};

  // The operand of the current term: x(n), x(n-1), x(n-2) of the section, then y(n-1), y(n-2).
  reg signed [state_bits-1:0] operand;
  always @* begin
    if (term_index == 0)
      operand = current;
    else if (term_index == 1)
      operand = latest[section_index*state_bits +: state_bits];
    else if (term_index == 2)
      operand = earlier[section_index*state_bits +: state_bits];
    else if (term_index == 3)
      operand = latest[(section_index+1)*state_bits +: state_bits];
    else
      operand = earlier[(section_index+1)*state_bits +: state_bits];
  end
  wire signed [coeff_bits-1:0] term_coeff = coeff(section_index, term_index);
  wire signed [prod_bits-1:0]  product = term_coeff * operand;

  always @(posedge clk) begin
    valid <= 1'b0;
    if (rst) begin
      state   <= IDLE;
      section <= {section_bits{1'b0}};
      term    <= 3'd0;
      current <= {state_bits{1'b0}};
      for (k = 0; k <= sections; k = k + 1) begin
        latest[k*state_bits +: state_bits]   <= {state_bits{1'b0}};
        earlier[k*state_bits +: state_bits] <= {state_bits{1'b0}};
      end
      acc     <= {acc_bits{1'b0}};
      result  <= {data_bits{1'b0}};
    end else if (state == IDLE) begin
      if (din_valid) begin
        current <= {{(state_bits - data_bits){din[data_bits-1]}}, din};
        section <= {section_bits{1'b0}};
        term    <= 3'd0;
        acc     <= {acc_bits{1'b0}};
        state   <= ACCUMULATE;
      end
    end else if (state == ACCUMULATE) begin
      acc <= acc + {{(acc_bits - prod_bits){product[prod_bits-1]}}, product};
      if (term == 3'd4)
        state <= FINISH;
      else
        term <= term + 1'b1;
    end else begin
      // One comparison with a constant per history node: a variable part-select here made a
      // decoder of several LUT levels in the synthesized netlist, the longest path.
      for (k = 0; k < sections; k = k + 1) begin
        if (section_index == k) begin
          earlier[k*state_bits +: state_bits] <= latest[k*state_bits +: state_bits];
          latest[k*state_bits +: state_bits]   <= current;
        end
      end
      current <= y;
      acc     <= {acc_bits{1'b0}};
      term    <= 3'd0;
      if (section_index == sections - 1) begin
        earlier[sections*state_bits +: state_bits] <= latest[sections*state_bits +: state_bits];
        latest[sections*state_bits +: state_bits]   <= y;
        result <= to_data(y);
        valid  <= 1'b1;
        state  <= IDLE;
      end else begin
        section <= section + 1'b1;
        state   <= ACCUMULATE;
      end
    end
  end
endmodule
