@[n=1]// iirfilter: cascade of 1 second-order IIR section, folded onto a few multipliers.
@[n>1]// iirfilter: cascade of @{n} second-order IIR sections, folded onto a few multipliers.
//
// Architecture: MULK multiplier lanes shared by all sections, working in frames. A sample taken
// at a rising edge of clk where din_valid and din_ready are both 1 is sign-extended to the section
// word (data bits + 4) and enters section 1 in the next frame. What section s computes in one
// frame is the input of section s + 1 in the next, so a frame advances every section that holds a
// sample by one sample, and section s + 1 works on an older sample than section s. A section sums
//   w = a0*x(n) + a1*x(n-1) + a2*x(n-2) + nb1*y(n-1) + nb2*y(n-2)
// in full precision (nb1, nb2 are the negated feedback coefficients). A frame issues the five
// products of every section back to back, section by section, the lanes taking one product each
// per clock (one clock's lanes may end one section and start the next): a lane reads its
// operands into registers on one clock and multiplies and sums them on the next. The clock
// after a section's last sum shifts its w right by the coefficient bit length minus one (floor)
// and saturates it to the section word, while the lanes go on with the next section. The
// frame's last clock moves the sections' results on and takes the next sample. The last
// section's output, saturated to the data bits, is dout.
//   Cycles per sample: ceil(5 * sections / lanes) + 2 = @{5*n+2} with one lane, @{n+2} with five
//   (din_ready is 1 on a frame's last clock and while idle).
//   Latency: sections * (ceil(5 * sections / lanes) + 2) clocks from the edge that takes a sample
//   to dout_valid. Without new samples, frames go on until every sample taken has its output.
//   Resources: one multiplier per lane with its operand registers, the adders of the lanes'
//   products into the section in progress and the one starting, three words of history per
//   section node, one for each section's result of the frame.
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

  localparam multipliers = MULK;
  // The lanes in use: one to five (a clock's lanes then touch at most two sections).
  localparam lanes = multipliers < 1 ? 1 : (multipliers > 5 ? 5 : multipliers);
  // section counts 0 .. sections; a lane's section may be one more.
  localparam section_bits = counter_bits(sections + 2);

  // Term t (a0, a1, a2, nb1, nb2) of section s in coefficient bits, looked up by {s, t}.
  function signed [COB-1:0] coeff;
    input [section_bits-1:0] s;
    input [2:0] t;
    begin
      // rom_style: the table stays in logic, as the VHDL's constant array does (yosys
      // would otherwise move it to block RAM).
      (* rom_style = "logic" *)
      case ({s, t})
//@SECTION
        @{8*(s-1):3}: coeff = COB'brepa0; // section @{s} a0
        @{8*(s-1)+1:3}: coeff = COB'brepa1; // section @{s} a1
        @{8*(s-1)+2:3}: coeff = COB'brepa2; // section @{s} a2
        @{8*(s-1)+3:3}: coeff = COB'brepb1; // section @{s} nb1
        @{8*(s-1)+4:3}: coeff = COB'brepb2; // section @{s} nb2
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

  localparam [section_bits-1:0] section_count = sections;
  localparam [section_bits-1:0] drain_mark    = sections + 1;
  localparam [section_bits-1:0] last_section  = sections - 1;
  localparam [3:0]              lane_step     = lanes;
  // The sections but the last: a sample there still has sections to go.
  localparam [sections-1:0]     inner         = {sections{1'b1}} >> 1;
  localparam [sections-1:0]     first         = 1;

  // busy: a frame runs. section, term: the section and term of lane 0's product read this
  // clock; section = sections while the last products are summed, sections + 1 on the frame's
  // last clock. active[s]: section s holds a sample in this frame.
  reg                                busy;
  reg  [section_bits-1:0]            section;
  reg  [2:0]                         term;
  reg  [sections-1:0]                active;
  // The last three values of each node as the frame sees them (node sections needs two), node
  // k at [k * state_bits +: state_bits], and each section's result of the frame, taken into its
  // node on the frame's last clock. Node 0 is the cascade input, node s + 1 the output of
  // section s.
  reg  [(sections+1)*state_bits-1:0] latest, earlier, earliest, fresh;
  // The lanes' operands read on the clock before (a lane past the last section reads 0), lane m
  // at [m * width +: width], and the section and term of lane 0's; issued: they are to be
  // summed on this clock.
  reg  [lanes*state_bits-1:0]        operands;
  reg  [lanes*coeff_bits-1:0]        factors;
  reg                                issued;
  reg  [section_bits-1:0]            issued_section;
  reg  [2:0]                         issued_term;
  // The sum of the section in progress, and the one completed on the clock before.
  reg  signed [acc_bits-1:0]         acc, done;
  reg  [section_bits-1:0]            done_section;
  reg                                done_valid;
  reg  [data_bits-1:0]               result;
  reg                                valid;
  integer k;

  wire issuing   = busy && section < section_count;
  wire frame_end = !busy || section == drain_mark;
  assign din_ready  = frame_end;
  assign dout       = result;
  assign dout_valid = valid;

  wire [state_bits-1:0] y = scale(done);
  wire [31:0] done_node = {{(32 - section_bits){1'b0}}, done_section} + 1;
  wire [3:0] next_term   = {1'b0, term} + lane_step;
  wire [3:0] issued_next = {1'b0, issued_term} + lane_step;
  wire [3:0] wrapped_term = next_term - 4'd5;
  // Bit 0: whether the section of the products summed on this clock holds a sample.
  wire [sections-1:0] issued_active = active >> issued_section;

  // The operands lane m reads: term + m of the section, or, past the section's five, the first
  // terms of the next one.
  reg [lanes*state_bits-1:0] read_operands;
  reg [lanes*coeff_bits-1:0] read_factors;
  reg [3:0]                  t;
  reg [section_bits-1:0]     s;
  integer m, node;
  always @* begin
    read_operands = {(lanes*state_bits){1'b0}};
    read_factors  = {(lanes*coeff_bits){1'b0}};
    t = 4'd0;
    s = {section_bits{1'b0}};
    node = 0;
    for (m = 0; m < lanes; m = m + 1) begin
      t = {1'b0, term} + m[3:0];
      s = section;
      if (t > 4'd4) begin
        t = t - 4'd5;
        s = section + 1'b1;
      end
      node = {{(32 - section_bits){1'b0}}, s};
      if (s < section_count) begin
        if (t == 4'd0)
          read_operands[m*state_bits +: state_bits] = latest[node*state_bits +: state_bits];
        else if (t == 4'd1)
          read_operands[m*state_bits +: state_bits] = earlier[node*state_bits +: state_bits];
        else if (t == 4'd2)
          read_operands[m*state_bits +: state_bits] = earliest[node*state_bits +: state_bits];
        else if (t == 4'd3)
          read_operands[m*state_bits +: state_bits] = latest[(node+1)*state_bits +: state_bits];
        else
          read_operands[m*state_bits +: state_bits] = earlier[(node+1)*state_bits +: state_bits];
        read_factors[m*coeff_bits +: coeff_bits] = coeff(s, t[2:0]);
      end
    end
  end

  // The accumulator plus the products of the operands read on the clock before: lane m has
  // term issued_term + m of the section, or, past the section's five, one of the first terms of
  // the next section (high).
  reg signed [acc_bits-1:0]   low, high;
  reg signed [COB-1:0]        factor;
  reg signed [state_bits-1:0] operand;
  reg signed [prod_bits-1:0]  product;
  reg [3:0]                   lane_term;
  always @* begin
    low  = acc;
    high = {acc_bits{1'b0}};
    factor = {COB{1'b0}};
    operand = {state_bits{1'b0}};
    product = {prod_bits{1'b0}};
    lane_term = 4'd0;
    for (m = 0; m < lanes; m = m + 1) begin
      factor  = factors[m*coeff_bits +: coeff_bits];
      operand = operands[m*state_bits +: state_bits];
      product = factor * operand;
      lane_term = {1'b0, issued_term} + m[3:0];
      if (lane_term > 4'd4)
        high = high + {{(acc_bits - prod_bits){product[prod_bits-1]}}, product};
      else
        low = low + {{(acc_bits - prod_bits){product[prod_bits-1]}}, product};
    end
  end

  always @(posedge clk) begin
    valid      <= 1'b0;
    done_valid <= 1'b0;
    issued     <= 1'b0;
    if (rst) begin
      busy    <= 1'b0;
      section <= {section_bits{1'b0}};
      term    <= 3'd0;
      active  <= {sections{1'b0}};
      latest    <= {((sections+1)*state_bits){1'b0}};
      earlier  <= {((sections+1)*state_bits){1'b0}};
      earliest  <= {((sections+1)*state_bits){1'b0}};
      fresh   <= {((sections+1)*state_bits){1'b0}};
      issued_section <= {section_bits{1'b0}};
      issued_term    <= 3'd0;
      acc     <= {acc_bits{1'b0}};
      done    <= {acc_bits{1'b0}};
      done_section <= {section_bits{1'b0}};
      result  <= {data_bits{1'b0}};
    end else begin
      // The section completed on the clock before: scale it, and keep it for its node (the
      // last section's goes to its node and dout at once, on the frame's last clock).
      if (done_valid) begin
        if (done_section == last_section) begin
          earlier[sections*state_bits +: state_bits] <= latest[sections*state_bits +: state_bits];
          latest[sections*state_bits +: state_bits]   <= y;
          result <= to_data(y);
          valid  <= 1'b1;
        end else begin
          fresh[done_node*state_bits +: state_bits] <= y;
        end
      end
      if (issued) begin
        if (issued_next > 4'd4) begin
          done         <= low;
          done_section <= issued_section;
          done_valid   <= issued_active[0];
          acc          <= high;
        end else begin
          acc <= low;
        end
      end
      if (issuing) begin
        operands       <= read_operands;
        factors        <= read_factors;
        issued         <= 1'b1;
        issued_section <= section;
        issued_term    <= term;
        if (next_term > 4'd4) begin
          term    <= wrapped_term[2:0];
          section <= section + 1'b1;
        end else begin
          term <= next_term[2:0];
        end
      end else if (!frame_end) begin
        // The last products are summed.
        section <= drain_mark;
      end else begin
        // The frame's last clock, or idle: every section that held a sample passes its result
        // on, the next sample enters, and a new frame starts while any sample is still on its
        // way.
        for (k = 1; k < sections; k = k + 1)
          if (active[k-1]) begin
            earliest[k*state_bits +: state_bits] <= earlier[k*state_bits +: state_bits];
            earlier[k*state_bits +: state_bits] <= latest[k*state_bits +: state_bits];
            latest[k*state_bits +: state_bits]   <= fresh[k*state_bits +: state_bits];
          end
        if (din_valid) begin
          earliest[0 +: state_bits] <= earlier[0 +: state_bits];
          earlier[0 +: state_bits] <= latest[0 +: state_bits];
          latest[0 +: state_bits]   <= {{(state_bits - data_bits){din[data_bits-1]}}, din};
        end
        active  <= (active << 1) | (din_valid ? first : {sections{1'b0}});
        busy    <= din_valid || (active & inner) != {sections{1'b0}};
        section <= {section_bits{1'b0}};
        term    <= 3'd0;
      end
    end
  end
endmodule
