// firfilter_interp: polyphase interpolating FIR filter, folded onto a few multipliers.
//
// Each sample taken gives rate outputs: output n of the zero-stuffed input (sample j at n =
// j * rate, zeros between) filtered by the taps, y(j * rate + p) = sum_i h(p + i * rate)
// x(j - i), in full precision, shifted right by the coefficient bit length minus one (floor) and
// saturated into dout. The stuffed zeros are never multiplied: output p walks the non-zero taps
// of its phase only, multipliers products per clock (one row of the table); each phase's
// products are padded with zero taps to whole rows (a phase without a non-zero tap has one row
// of zeros). Each multiplier lane keeps its own copy of the circular sample buffer, so that
// every lane reads one sample per clock.
//   Clocks per sample at full rate: rows + 1, rows the sum over the phases of
//   ceil(non-zero taps of the phase / multipliers) (at least 1 each); din_ready is 0 while the
//   outputs of a sample are computed.
//   Latency: from the edge that takes a sample, its last output comes rows + 4 +
//   ceil(log2(multipliers)) clocks later: the table stage, the read stage, the products, a
//   binary adder tree over the lanes with a register after every level, the accumulator and
//   the saturation.
//   Accumulator: coefficient bits + data bits + 9 guard bits, exact for up to 512 taps.
// din and dout are two's complement. rst is synchronous, active high, and clears all state (the
// buffers are not cleared: samples before the first one taken count as 0); every output is
// marked by dout_valid high for one clock, rate of them per sample, in order.
// Verilog-2001, synthesizable, no vendor primitives.
module firfilter_interp (
  input  wire            clk,
  input  wire            rst,
  input  wire            din_valid,
  output wire            din_ready,
  input  wire [DIOB-1:0] din,
  output wire            dout_valid,
  output wire [DIOB-1:0] dout
);
  // A filter of TAPN taps.
  // POLYM outputs per sample taken.
  // The table's entries, whole rows of one product per multiplier lane.
  localparam entries     = POLYE;
  localparam multipliers = POLYK;
  localparam rows        = entries / multipliers;
  // The samples one job reaches back over, and the buffer's address bits.
  localparam depth       = POLYD;
  localparam addr_bits   = POLYA;
  localparam coeff_bits  = COB;
  localparam data_bits   = DIOB;
  localparam guard_bits  = ADDB;
  localparam acc_bits    = coeff_bits + data_bits + guard_bits;

  // Entry e of the job's walk, row e / multipliers of lane e mod multipliers: its tap in
  // coefficient bits, and its code, 2 * (how many samples before the newest one it multiplies)
  // + 1 when its row ends an output (marked on the row's last entry). Only the first entries
  // are used.
  function signed [COB-1:0] coeff;
    input integer e;
    begin
      (* rom_style = "logic" *)
      case (e)
          0: coeff = COB'breph  0;
          1: coeff = COB'breph  1;
          2: coeff = COB'breph  2;
          3: coeff = COB'breph  3;
          4: coeff = COB'breph  4;
          5: coeff = COB'breph  5;
          6: coeff = COB'breph  6;
          7: coeff = COB'breph  7;
          8: coeff = COB'breph  8;
          9: coeff = COB'breph  9;
         10: coeff = COB'breph 10;
         11: coeff = COB'breph 11;
         12: coeff = COB'breph 12;
         13: coeff = COB'breph 13;
         14: coeff = COB'breph 14;
         15: coeff = COB'breph 15;
         16: coeff = COB'breph 16;
         17: coeff = COB'breph 17;
         18: coeff = COB'breph 18;
         19: coeff = COB'breph 19;
         20: coeff = COB'breph 20;
         21: coeff = COB'breph 21;
         22: coeff = COB'breph 22;
         23: coeff = COB'breph 23;
         24: coeff = COB'breph 24;
         25: coeff = COB'breph 25;
         26: coeff = COB'breph 26;
         27: coeff = COB'breph 27;
         28: coeff = COB'breph 28;
         29: coeff = COB'breph 29;
         30: coeff = COB'breph 30;
         31: coeff = COB'breph 31;
         32: coeff = COB'breph 32;
         33: coeff = COB'breph 33;
         34: coeff = COB'breph 34;
         35: coeff = COB'breph 35;
         36: coeff = COB'breph 36;
         37: coeff = COB'breph 37;
         38: coeff = COB'breph 38;
         39: coeff = COB'breph 39;
         40: coeff = COB'breph 40;
         41: coeff = COB'breph 41;
         42: coeff = COB'breph 42;
         43: coeff = COB'breph 43;
         44: coeff = COB'breph 44;
         45: coeff = COB'breph 45;
         46: coeff = COB'breph 46;
         47: coeff = COB'breph 47;
         48: coeff = COB'breph 48;
         49: coeff = COB'breph 49;
         50: coeff = COB'breph 50;
         51: coeff = COB'breph 51;
         52: coeff = COB'breph 52;
         53: coeff = COB'breph 53;
         54: coeff = COB'breph 54;
         55: coeff = COB'breph 55;
         56: coeff = COB'breph 56;
         57: coeff = COB'breph 57;
         58: coeff = COB'breph 58;
         59: coeff = COB'breph 59;
         60: coeff = COB'breph 60;
         61: coeff = COB'breph 61;
         62: coeff = COB'breph 62;
         63: coeff = COB'breph 63;
         64: coeff = COB'breph 64;
         65: coeff = COB'breph 65;
         66: coeff = COB'breph 66;
         67: coeff = COB'breph 67;
         68: coeff = COB'breph 68;
         69: coeff = COB'breph 69;
         70: coeff = COB'breph 70;
         71: coeff = COB'breph 71;
         72: coeff = COB'breph 72;
         73: coeff = COB'breph 73;
         74: coeff = COB'breph 74;
         75: coeff = COB'breph 75;
         76: coeff = COB'breph 76;
         77: coeff = COB'breph 77;
         78: coeff = COB'breph 78;
         79: coeff = COB'breph 79;
         80: coeff = COB'breph 80;
         81: coeff = COB'breph 81;
         82: coeff = COB'breph 82;
         83: coeff = COB'breph 83;
         84: coeff = COB'breph 84;
         85: coeff = COB'breph 85;
         86: coeff = COB'breph 86;
         87: coeff = COB'breph 87;
         88: coeff = COB'breph 88;
         89: coeff = COB'breph 89;
         90: coeff = COB'breph 90;
         91: coeff = COB'breph 91;
         92: coeff = COB'breph 92;
         93: coeff = COB'breph 93;
         94: coeff = COB'breph 94;
         95: coeff = COB'breph 95;
         96: coeff = COB'breph 96;
         97: coeff = COB'breph 97;
         98: coeff = COB'breph 98;
         99: coeff = COB'breph 99;
        100: coeff = COB'breph100;
        101: coeff = COB'breph101;
        102: coeff = COB'breph102;
        103: coeff = COB'breph103;
        104: coeff = COB'breph104;
        105: coeff = COB'breph105;
        106: coeff = COB'breph106;
        107: coeff = COB'breph107;
        108: coeff = COB'breph108;
        109: coeff = COB'breph109;
        110: coeff = COB'breph110;
        111: coeff = COB'breph111;
        112: coeff = COB'breph112;
        113: coeff = COB'breph113;
        114: coeff = COB'breph114;
        115: coeff = COB'breph115;
        116: coeff = COB'breph116;
        117: coeff = COB'breph117;
        118: coeff = COB'breph118;
        119: coeff = COB'breph119;
        120: coeff = COB'breph120;
        121: coeff = COB'breph121;
        122: coeff = COB'breph122;
        123: coeff = COB'breph123;
        124: coeff = COB'breph124;
        125: coeff = COB'breph125;
        126: coeff = COB'breph126;
        127: coeff = COB'breph127;
        128: coeff = COB'breph128;
        129: coeff = COB'breph129;
        130: coeff = COB'breph130;
        131: coeff = COB'breph131;
        132: coeff = COB'breph132;
        133: coeff = COB'breph133;
        134: coeff = COB'breph134;
        135: coeff = COB'breph135;
        136: coeff = COB'breph136;
        137: coeff = COB'breph137;
        138: coeff = COB'breph138;
        139: coeff = COB'breph139;
        140: coeff = COB'breph140;
        141: coeff = COB'breph141;
        142: coeff = COB'breph142;
        143: coeff = COB'breph143;
        144: coeff = COB'breph144;
        145: coeff = COB'breph145;
        146: coeff = COB'breph146;
        147: coeff = COB'breph147;
        148: coeff = COB'breph148;
        149: coeff = COB'breph149;
        150: coeff = COB'breph150;
        151: coeff = COB'breph151;
        152: coeff = COB'breph152;
        153: coeff = COB'breph153;
        154: coeff = COB'breph154;
        155: coeff = COB'breph155;
        156: coeff = COB'breph156;
        157: coeff = COB'breph157;
        158: coeff = COB'breph158;
        159: coeff = COB'breph159;
        160: coeff = COB'breph160;
        161: coeff = COB'breph161;
        162: coeff = COB'breph162;
        163: coeff = COB'breph163;
        164: coeff = COB'breph164;
        165: coeff = COB'breph165;
        166: coeff = COB'breph166;
        167: coeff = COB'breph167;
        168: coeff = COB'breph168;
        169: coeff = COB'breph169;
        170: coeff = COB'breph170;
        171: coeff = COB'breph171;
        172: coeff = COB'breph172;
        173: coeff = COB'breph173;
        174: coeff = COB'breph174;
        175: coeff = COB'breph175;
        176: coeff = COB'breph176;
        177: coeff = COB'breph177;
        178: coeff = COB'breph178;
        179: coeff = COB'breph179;
        180: coeff = COB'breph180;
        181: coeff = COB'breph181;
        182: coeff = COB'breph182;
        183: coeff = COB'breph183;
        184: coeff = COB'breph184;
        185: coeff = COB'breph185;
        186: coeff = COB'breph186;
        187: coeff = COB'breph187;
        188: coeff = COB'breph188;
        189: coeff = COB'breph189;
        190: coeff = COB'breph190;
        191: coeff = COB'breph191;
        192: coeff = COB'breph192;
        193: coeff = COB'breph193;
        194: coeff = COB'breph194;
        195: coeff = COB'breph195;
        196: coeff = COB'breph196;
        197: coeff = COB'breph197;
        198: coeff = COB'breph198;
        199: coeff = COB'breph199;
        200: coeff = COB'breph200;
        201: coeff = COB'breph201;
        202: coeff = COB'breph202;
        203: coeff = COB'breph203;
        204: coeff = COB'breph204;
        205: coeff = COB'breph205;
        206: coeff = COB'breph206;
        207: coeff = COB'breph207;
        208: coeff = COB'breph208;
        209: coeff = COB'breph209;
        210: coeff = COB'breph210;
        211: coeff = COB'breph211;
        212: coeff = COB'breph212;
        213: coeff = COB'breph213;
        214: coeff = COB'breph214;
        215: coeff = COB'breph215;
        216: coeff = COB'breph216;
        217: coeff = COB'breph217;
        218: coeff = COB'breph218;
        219: coeff = COB'breph219;
        220: coeff = COB'breph220;
        221: coeff = COB'breph221;
        222: coeff = COB'breph222;
        223: coeff = COB'breph223;
        224: coeff = COB'breph224;
        225: coeff = COB'breph225;
        226: coeff = COB'breph226;
        227: coeff = COB'breph227;
        228: coeff = COB'breph228;
        229: coeff = COB'breph229;
        230: coeff = COB'breph230;
        231: coeff = COB'breph231;
        232: coeff = COB'breph232;
        233: coeff = COB'breph233;
        234: coeff = COB'breph234;
        235: coeff = COB'breph235;
        236: coeff = COB'breph236;
        237: coeff = COB'breph237;
        238: coeff = COB'breph238;
        239: coeff = COB'breph239;
        240: coeff = COB'breph240;
        241: coeff = COB'breph241;
        242: coeff = COB'breph242;
        243: coeff = COB'breph243;
        244: coeff = COB'breph244;
        245: coeff = COB'breph245;
        246: coeff = COB'breph246;
        247: coeff = COB'breph247;
        248: coeff = COB'breph248;
        249: coeff = COB'breph249;
        250: coeff = COB'breph250;
        251: coeff = COB'breph251;
        252: coeff = COB'breph252;
        253: coeff = COB'breph253;
        254: coeff = COB'breph254;
        255: coeff = COB'breph255;
        256: coeff = COB'breph256;
        257: coeff = COB'breph257;
        258: coeff = COB'breph258;
        259: coeff = COB'breph259;
        260: coeff = COB'breph260;
        261: coeff = COB'breph261;
        262: coeff = COB'breph262;
        263: coeff = COB'breph263;
        264: coeff = COB'breph264;
        265: coeff = COB'breph265;
        266: coeff = COB'breph266;
        267: coeff = COB'breph267;
        268: coeff = COB'breph268;
        269: coeff = COB'breph269;
        270: coeff = COB'breph270;
        271: coeff = COB'breph271;
        272: coeff = COB'breph272;
        273: coeff = COB'breph273;
        274: coeff = COB'breph274;
        275: coeff = COB'breph275;
        276: coeff = COB'breph276;
        277: coeff = COB'breph277;
        278: coeff = COB'breph278;
        279: coeff = COB'breph279;
        280: coeff = COB'breph280;
        281: coeff = COB'breph281;
        282: coeff = COB'breph282;
        283: coeff = COB'breph283;
        284: coeff = COB'breph284;
        285: coeff = COB'breph285;
        286: coeff = COB'breph286;
        287: coeff = COB'breph287;
        288: coeff = COB'breph288;
        289: coeff = COB'breph289;
        290: coeff = COB'breph290;
        291: coeff = COB'breph291;
        292: coeff = COB'breph292;
        293: coeff = COB'breph293;
        294: coeff = COB'breph294;
        295: coeff = COB'breph295;
        296: coeff = COB'breph296;
        297: coeff = COB'breph297;
        298: coeff = COB'breph298;
        299: coeff = COB'breph299;
        300: coeff = COB'breph300;
        301: coeff = COB'breph301;
        302: coeff = COB'breph302;
        303: coeff = COB'breph303;
        304: coeff = COB'breph304;
        305: coeff = COB'breph305;
        306: coeff = COB'breph306;
        307: coeff = COB'breph307;
        308: coeff = COB'breph308;
        309: coeff = COB'breph309;
        310: coeff = COB'breph310;
        311: coeff = COB'breph311;
        312: coeff = COB'breph312;
        313: coeff = COB'breph313;
        314: coeff = COB'breph314;
        315: coeff = COB'breph315;
        316: coeff = COB'breph316;
        317: coeff = COB'breph317;
        318: coeff = COB'breph318;
        319: coeff = COB'breph319;
        320: coeff = COB'breph320;
        321: coeff = COB'breph321;
        322: coeff = COB'breph322;
        323: coeff = COB'breph323;
        324: coeff = COB'breph324;
        325: coeff = COB'breph325;
        326: coeff = COB'breph326;
        327: coeff = COB'breph327;
        328: coeff = COB'breph328;
        329: coeff = COB'breph329;
        330: coeff = COB'breph330;
        331: coeff = COB'breph331;
        332: coeff = COB'breph332;
        333: coeff = COB'breph333;
        334: coeff = COB'breph334;
        335: coeff = COB'breph335;
        336: coeff = COB'breph336;
        337: coeff = COB'breph337;
        338: coeff = COB'breph338;
        339: coeff = COB'breph339;
        340: coeff = COB'breph340;
        341: coeff = COB'breph341;
        342: coeff = COB'breph342;
        343: coeff = COB'breph343;
        344: coeff = COB'breph344;
        345: coeff = COB'breph345;
        346: coeff = COB'breph346;
        347: coeff = COB'breph347;
        348: coeff = COB'breph348;
        349: coeff = COB'breph349;
        350: coeff = COB'breph350;
        351: coeff = COB'breph351;
        352: coeff = COB'breph352;
        353: coeff = COB'breph353;
        354: coeff = COB'breph354;
        355: coeff = COB'breph355;
        356: coeff = COB'breph356;
        357: coeff = COB'breph357;
        358: coeff = COB'breph358;
        359: coeff = COB'breph359;
        360: coeff = COB'breph360;
        361: coeff = COB'breph361;
        362: coeff = COB'breph362;
        363: coeff = COB'breph363;
        364: coeff = COB'breph364;
        365: coeff = COB'breph365;
        366: coeff = COB'breph366;
        367: coeff = COB'breph367;
        368: coeff = COB'breph368;
        369: coeff = COB'breph369;
        370: coeff = COB'breph370;
        371: coeff = COB'breph371;
        372: coeff = COB'breph372;
        373: coeff = COB'breph373;
        374: coeff = COB'breph374;
        375: coeff = COB'breph375;
        376: coeff = COB'breph376;
        377: coeff = COB'breph377;
        378: coeff = COB'breph378;
        379: coeff = COB'breph379;
        380: coeff = COB'breph380;
        381: coeff = COB'breph381;
        382: coeff = COB'breph382;
        383: coeff = COB'breph383;
        384: coeff = COB'breph384;
        385: coeff = COB'breph385;
        386: coeff = COB'breph386;
        387: coeff = COB'breph387;
        388: coeff = COB'breph388;
        389: coeff = COB'breph389;
        390: coeff = COB'breph390;
        391: coeff = COB'breph391;
        392: coeff = COB'breph392;
        393: coeff = COB'breph393;
        394: coeff = COB'breph394;
        395: coeff = COB'breph395;
        396: coeff = COB'breph396;
        397: coeff = COB'breph397;
        398: coeff = COB'breph398;
        399: coeff = COB'breph399;
        default: coeff = {COB{1'b0}};
      endcase
    end
  endfunction

  function integer entry_code;
    input integer e;
    begin
      (* rom_style = "logic" *)
      case (e)
          0: entry_code = repo  0;
          1: entry_code = repo  1;
          2: entry_code = repo  2;
          3: entry_code = repo  3;
          4: entry_code = repo  4;
          5: entry_code = repo  5;
          6: entry_code = repo  6;
          7: entry_code = repo  7;
          8: entry_code = repo  8;
          9: entry_code = repo  9;
         10: entry_code = repo 10;
         11: entry_code = repo 11;
         12: entry_code = repo 12;
         13: entry_code = repo 13;
         14: entry_code = repo 14;
         15: entry_code = repo 15;
         16: entry_code = repo 16;
         17: entry_code = repo 17;
         18: entry_code = repo 18;
         19: entry_code = repo 19;
         20: entry_code = repo 20;
         21: entry_code = repo 21;
         22: entry_code = repo 22;
         23: entry_code = repo 23;
         24: entry_code = repo 24;
         25: entry_code = repo 25;
         26: entry_code = repo 26;
         27: entry_code = repo 27;
         28: entry_code = repo 28;
         29: entry_code = repo 29;
         30: entry_code = repo 30;
         31: entry_code = repo 31;
         32: entry_code = repo 32;
         33: entry_code = repo 33;
         34: entry_code = repo 34;
         35: entry_code = repo 35;
         36: entry_code = repo 36;
         37: entry_code = repo 37;
         38: entry_code = repo 38;
         39: entry_code = repo 39;
         40: entry_code = repo 40;
         41: entry_code = repo 41;
         42: entry_code = repo 42;
         43: entry_code = repo 43;
         44: entry_code = repo 44;
         45: entry_code = repo 45;
         46: entry_code = repo 46;
         47: entry_code = repo 47;
         48: entry_code = repo 48;
         49: entry_code = repo 49;
         50: entry_code = repo 50;
         51: entry_code = repo 51;
         52: entry_code = repo 52;
         53: entry_code = repo 53;
         54: entry_code = repo 54;
         55: entry_code = repo 55;
         56: entry_code = repo 56;
         57: entry_code = repo 57;
         58: entry_code = repo 58;
         59: entry_code = repo 59;
         60: entry_code = repo 60;
         61: entry_code = repo 61;
         62: entry_code = repo 62;
         63: entry_code = repo 63;
         64: entry_code = repo 64;
         65: entry_code = repo 65;
         66: entry_code = repo 66;
         67: entry_code = repo 67;
         68: entry_code = repo 68;
         69: entry_code = repo 69;
         70: entry_code = repo 70;
         71: entry_code = repo 71;
         72: entry_code = repo 72;
         73: entry_code = repo 73;
         74: entry_code = repo 74;
         75: entry_code = repo 75;
         76: entry_code = repo 76;
         77: entry_code = repo 77;
         78: entry_code = repo 78;
         79: entry_code = repo 79;
         80: entry_code = repo 80;
         81: entry_code = repo 81;
         82: entry_code = repo 82;
         83: entry_code = repo 83;
         84: entry_code = repo 84;
         85: entry_code = repo 85;
         86: entry_code = repo 86;
         87: entry_code = repo 87;
         88: entry_code = repo 88;
         89: entry_code = repo 89;
         90: entry_code = repo 90;
         91: entry_code = repo 91;
         92: entry_code = repo 92;
         93: entry_code = repo 93;
         94: entry_code = repo 94;
         95: entry_code = repo 95;
         96: entry_code = repo 96;
         97: entry_code = repo 97;
         98: entry_code = repo 98;
         99: entry_code = repo 99;
        100: entry_code = repo100;
        101: entry_code = repo101;
        102: entry_code = repo102;
        103: entry_code = repo103;
        104: entry_code = repo104;
        105: entry_code = repo105;
        106: entry_code = repo106;
        107: entry_code = repo107;
        108: entry_code = repo108;
        109: entry_code = repo109;
        110: entry_code = repo110;
        111: entry_code = repo111;
        112: entry_code = repo112;
        113: entry_code = repo113;
        114: entry_code = repo114;
        115: entry_code = repo115;
        116: entry_code = repo116;
        117: entry_code = repo117;
        118: entry_code = repo118;
        119: entry_code = repo119;
        120: entry_code = repo120;
        121: entry_code = repo121;
        122: entry_code = repo122;
        123: entry_code = repo123;
        124: entry_code = repo124;
        125: entry_code = repo125;
        126: entry_code = repo126;
        127: entry_code = repo127;
        128: entry_code = repo128;
        129: entry_code = repo129;
        130: entry_code = repo130;
        131: entry_code = repo131;
        132: entry_code = repo132;
        133: entry_code = repo133;
        134: entry_code = repo134;
        135: entry_code = repo135;
        136: entry_code = repo136;
        137: entry_code = repo137;
        138: entry_code = repo138;
        139: entry_code = repo139;
        140: entry_code = repo140;
        141: entry_code = repo141;
        142: entry_code = repo142;
        143: entry_code = repo143;
        144: entry_code = repo144;
        145: entry_code = repo145;
        146: entry_code = repo146;
        147: entry_code = repo147;
        148: entry_code = repo148;
        149: entry_code = repo149;
        150: entry_code = repo150;
        151: entry_code = repo151;
        152: entry_code = repo152;
        153: entry_code = repo153;
        154: entry_code = repo154;
        155: entry_code = repo155;
        156: entry_code = repo156;
        157: entry_code = repo157;
        158: entry_code = repo158;
        159: entry_code = repo159;
        160: entry_code = repo160;
        161: entry_code = repo161;
        162: entry_code = repo162;
        163: entry_code = repo163;
        164: entry_code = repo164;
        165: entry_code = repo165;
        166: entry_code = repo166;
        167: entry_code = repo167;
        168: entry_code = repo168;
        169: entry_code = repo169;
        170: entry_code = repo170;
        171: entry_code = repo171;
        172: entry_code = repo172;
        173: entry_code = repo173;
        174: entry_code = repo174;
        175: entry_code = repo175;
        176: entry_code = repo176;
        177: entry_code = repo177;
        178: entry_code = repo178;
        179: entry_code = repo179;
        180: entry_code = repo180;
        181: entry_code = repo181;
        182: entry_code = repo182;
        183: entry_code = repo183;
        184: entry_code = repo184;
        185: entry_code = repo185;
        186: entry_code = repo186;
        187: entry_code = repo187;
        188: entry_code = repo188;
        189: entry_code = repo189;
        190: entry_code = repo190;
        191: entry_code = repo191;
        192: entry_code = repo192;
        193: entry_code = repo193;
        194: entry_code = repo194;
        195: entry_code = repo195;
        196: entry_code = repo196;
        197: entry_code = repo197;
        198: entry_code = repo198;
        199: entry_code = repo199;
        200: entry_code = repo200;
        201: entry_code = repo201;
        202: entry_code = repo202;
        203: entry_code = repo203;
        204: entry_code = repo204;
        205: entry_code = repo205;
        206: entry_code = repo206;
        207: entry_code = repo207;
        208: entry_code = repo208;
        209: entry_code = repo209;
        210: entry_code = repo210;
        211: entry_code = repo211;
        212: entry_code = repo212;
        213: entry_code = repo213;
        214: entry_code = repo214;
        215: entry_code = repo215;
        216: entry_code = repo216;
        217: entry_code = repo217;
        218: entry_code = repo218;
        219: entry_code = repo219;
        220: entry_code = repo220;
        221: entry_code = repo221;
        222: entry_code = repo222;
        223: entry_code = repo223;
        224: entry_code = repo224;
        225: entry_code = repo225;
        226: entry_code = repo226;
        227: entry_code = repo227;
        228: entry_code = repo228;
        229: entry_code = repo229;
        230: entry_code = repo230;
        231: entry_code = repo231;
        232: entry_code = repo232;
        233: entry_code = repo233;
        234: entry_code = repo234;
        235: entry_code = repo235;
        236: entry_code = repo236;
        237: entry_code = repo237;
        238: entry_code = repo238;
        239: entry_code = repo239;
        240: entry_code = repo240;
        241: entry_code = repo241;
        242: entry_code = repo242;
        243: entry_code = repo243;
        244: entry_code = repo244;
        245: entry_code = repo245;
        246: entry_code = repo246;
        247: entry_code = repo247;
        248: entry_code = repo248;
        249: entry_code = repo249;
        250: entry_code = repo250;
        251: entry_code = repo251;
        252: entry_code = repo252;
        253: entry_code = repo253;
        254: entry_code = repo254;
        255: entry_code = repo255;
        256: entry_code = repo256;
        257: entry_code = repo257;
        258: entry_code = repo258;
        259: entry_code = repo259;
        260: entry_code = repo260;
        261: entry_code = repo261;
        262: entry_code = repo262;
        263: entry_code = repo263;
        264: entry_code = repo264;
        265: entry_code = repo265;
        266: entry_code = repo266;
        267: entry_code = repo267;
        268: entry_code = repo268;
        269: entry_code = repo269;
        270: entry_code = repo270;
        271: entry_code = repo271;
        272: entry_code = repo272;
        273: entry_code = repo273;
        274: entry_code = repo274;
        275: entry_code = repo275;
        276: entry_code = repo276;
        277: entry_code = repo277;
        278: entry_code = repo278;
        279: entry_code = repo279;
        280: entry_code = repo280;
        281: entry_code = repo281;
        282: entry_code = repo282;
        283: entry_code = repo283;
        284: entry_code = repo284;
        285: entry_code = repo285;
        286: entry_code = repo286;
        287: entry_code = repo287;
        288: entry_code = repo288;
        289: entry_code = repo289;
        290: entry_code = repo290;
        291: entry_code = repo291;
        292: entry_code = repo292;
        293: entry_code = repo293;
        294: entry_code = repo294;
        295: entry_code = repo295;
        296: entry_code = repo296;
        297: entry_code = repo297;
        298: entry_code = repo298;
        299: entry_code = repo299;
        300: entry_code = repo300;
        301: entry_code = repo301;
        302: entry_code = repo302;
        303: entry_code = repo303;
        304: entry_code = repo304;
        305: entry_code = repo305;
        306: entry_code = repo306;
        307: entry_code = repo307;
        308: entry_code = repo308;
        309: entry_code = repo309;
        310: entry_code = repo310;
        311: entry_code = repo311;
        312: entry_code = repo312;
        313: entry_code = repo313;
        314: entry_code = repo314;
        315: entry_code = repo315;
        316: entry_code = repo316;
        317: entry_code = repo317;
        318: entry_code = repo318;
        319: entry_code = repo319;
        320: entry_code = repo320;
        321: entry_code = repo321;
        322: entry_code = repo322;
        323: entry_code = repo323;
        324: entry_code = repo324;
        325: entry_code = repo325;
        326: entry_code = repo326;
        327: entry_code = repo327;
        328: entry_code = repo328;
        329: entry_code = repo329;
        330: entry_code = repo330;
        331: entry_code = repo331;
        332: entry_code = repo332;
        333: entry_code = repo333;
        334: entry_code = repo334;
        335: entry_code = repo335;
        336: entry_code = repo336;
        337: entry_code = repo337;
        338: entry_code = repo338;
        339: entry_code = repo339;
        340: entry_code = repo340;
        341: entry_code = repo341;
        342: entry_code = repo342;
        343: entry_code = repo343;
        344: entry_code = repo344;
        345: entry_code = repo345;
        346: entry_code = repo346;
        347: entry_code = repo347;
        348: entry_code = repo348;
        349: entry_code = repo349;
        350: entry_code = repo350;
        351: entry_code = repo351;
        352: entry_code = repo352;
        353: entry_code = repo353;
        354: entry_code = repo354;
        355: entry_code = repo355;
        356: entry_code = repo356;
        357: entry_code = repo357;
        358: entry_code = repo358;
        359: entry_code = repo359;
        360: entry_code = repo360;
        361: entry_code = repo361;
        362: entry_code = repo362;
        363: entry_code = repo363;
        364: entry_code = repo364;
        365: entry_code = repo365;
        366: entry_code = repo366;
        367: entry_code = repo367;
        368: entry_code = repo368;
        369: entry_code = repo369;
        370: entry_code = repo370;
        371: entry_code = repo371;
        372: entry_code = repo372;
        373: entry_code = repo373;
        374: entry_code = repo374;
        375: entry_code = repo375;
        376: entry_code = repo376;
        377: entry_code = repo377;
        378: entry_code = repo378;
        379: entry_code = repo379;
        380: entry_code = repo380;
        381: entry_code = repo381;
        382: entry_code = repo382;
        383: entry_code = repo383;
        384: entry_code = repo384;
        385: entry_code = repo385;
        386: entry_code = repo386;
        387: entry_code = repo387;
        388: entry_code = repo388;
        389: entry_code = repo389;
        390: entry_code = repo390;
        391: entry_code = repo391;
        392: entry_code = repo392;
        393: entry_code = repo393;
        394: entry_code = repo394;
        395: entry_code = repo395;
        396: entry_code = repo396;
        397: entry_code = repo397;
        398: entry_code = repo398;
        399: entry_code = repo399;
        default: entry_code = 1;
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

  // Levels of a binary adder tree over n inputs: its leaves are the next power of two.
  function integer tree_levels;
    input integer n;
    integer width;
    begin
      tree_levels = 0;
      width = 1;
      while (width < n) begin
        width = width * 2;
        tree_levels = tree_levels + 1;
      end
    end
  endfunction

  // v shifted right by the coefficient bit length minus one (floor) and saturated to a data word.
  function [data_bits-1:0] scale;
    input signed [acc_bits-1:0] v;
    reg signed [acc_bits-1:0] shifted;
    begin
      shifted = v >>> (coeff_bits - 1);
      if (shifted[acc_bits-1:data_bits-1] == {(acc_bits - data_bits + 1){shifted[acc_bits-1]}})
        scale = shifted[data_bits-1:0];
      else
        scale = {shifted[acc_bits-1], {(data_bits - 1){~shifted[acc_bits-1]}}};
    end
  endfunction

  localparam row_bits   = counter_bits(rows);
  localparam fill_bits  = counter_bits(depth + 1);
  localparam prod_bits  = coeff_bits + data_bits;
  localparam levels     = tree_levels(multipliers);
  localparam leaves     = 1 << levels;

  reg [addr_bits-1:0]         wr_addr;
  reg [fill_bits-1:0]         filled;  // samples taken, up to depth
  reg                         busy;    // a job walks the table
  reg [row_bits-1:0]          row;
  reg [addr_bits-1:0]         base;    // where the job's newest sample is
  reg [fill_bits-1:0]         avail;   // the job's samples taken since rst
  // The table stage: the row's taps (lane k in word k) and how far back their samples are
  // (32-bit words), registered.
  reg                                tab_valid, tab_last;
  reg [multipliers*coeff_bits-1:0]   tab_coeff;
  reg [multipliers*32-1:0]           tab_back;
  // The read stage, the products into the tree's leaves, the tree and the accumulator.
  reg                                rd_valid, rd_last;
  reg [multipliers-1:0]              rd_zero;
  wire [multipliers*data_bits-1:0]   rd_sample;
  reg [multipliers*coeff_bits-1:0]   rd_coeff;
  // The adder tree as a heap: node i, tree[i * acc_bits +: acc_bits], sums nodes 2 i and
  // 2 i + 1; the leaves are the lanes' products at leaves .. 2 leaves - 1, the root is node 1.
  // A register after every level.
  reg [2*leaves*acc_bits-1:0]        tree;
  reg [levels:0]                     tree_valid, tree_last;
  reg signed [acc_bits-1:0]          acc, sum;
  reg                                sum_valid;
  reg [data_bits-1:0]                result;
  reg                                valid;
  integer i, l, k;

  wire [31:0] row_index = {{(32 - row_bits){1'b0}}, row};
  wire        take = din_valid && din_ready;

  assign din_ready  = !busy;
  assign dout       = result;
  assign dout_valid = valid;

  // The current row's taps, codes and end mark: each lane selects among its own column only.
  // Its own loop variables: a combinational block that shared them with another would wake
  // that one forever.
  integer rr, rk;
  reg [multipliers*coeff_bits-1:0] row_coeff;
  reg [multipliers*32-1:0]         row_back;
  reg                              row_last;
  always @* begin
    row_coeff = {(multipliers * coeff_bits){1'b0}};
    row_back = {(multipliers * 32){1'b0}};
    row_last = 1'b0;
    for (rr = 0; rr < rows; rr = rr + 1)
      if (row_index == rr) begin
        for (rk = 0; rk < multipliers; rk = rk + 1) begin
          row_coeff[rk*coeff_bits +: coeff_bits] = coeff(rr * multipliers + rk);
          row_back[rk*32 +: 32] = entry_code(rr * multipliers + rk) >> 1;
        end
        row_last = (entry_code(rr * multipliers + multipliers - 1) & 1) != 0;
      end
  end

  // The lanes' buffers: all written with each sample taken, each read by its lane one row per
  // clock.
  genvar lane;
  generate
    for (lane = 0; lane < multipliers; lane = lane + 1) begin : lanes
      reg signed [data_bits-1:0] samples [0:(1 << addr_bits) - 1];
      reg signed [data_bits-1:0] word;
      wire [addr_bits-1:0]       rd_addr = base - tab_back[lane*32 +: addr_bits];
      always @(posedge clk) begin
        if (take)
          samples[wr_addr] <= din;
        if (tab_valid)
          word <= samples[rd_addr];
      end
      assign rd_sample[lane*data_bits +: data_bits] = word;
    end
  endgenerate

  // The lanes' products, widened to the accumulator; the leaves beyond the lanes are 0.
  wire [leaves*acc_bits-1:0] lane_products;
  genvar leaf;
  generate
    for (leaf = 0; leaf < leaves; leaf = leaf + 1) begin : products
      if (leaf < multipliers) begin : used
        wire signed [coeff_bits-1:0] c = rd_coeff[leaf*coeff_bits +: coeff_bits];
        wire signed [data_bits-1:0]  x = rd_sample[leaf*data_bits +: data_bits];
        wire signed [prod_bits-1:0]  p = c * x;
        assign lane_products[leaf*acc_bits +: acc_bits] =
          rd_zero[leaf] ? {acc_bits{1'b0}} : {{(acc_bits - prod_bits){p[prod_bits-1]}}, p};
      end else begin : unused
        assign lane_products[leaf*acc_bits +: acc_bits] = {acc_bits{1'b0}};
      end
    end
  endgenerate

  wire signed [acc_bits-1:0] root = tree[acc_bits +: acc_bits];

  always @(posedge clk) begin
    if (rst) begin
      wr_addr    <= {addr_bits{1'b0}};
      filled     <= {fill_bits{1'b0}};
      busy       <= 1'b0;
      row        <= {row_bits{1'b0}};
      base       <= {addr_bits{1'b0}};
      avail      <= {fill_bits{1'b0}};
      tab_valid  <= 1'b0;
      tab_last   <= 1'b0;
      tab_coeff  <= {(multipliers * coeff_bits){1'b0}};
      tab_back   <= {(multipliers * 32){1'b0}};
      rd_valid   <= 1'b0;
      rd_last    <= 1'b0;
      rd_zero    <= {multipliers{1'b0}};
      rd_coeff   <= {(multipliers * coeff_bits){1'b0}};
      for (i = 0; i < 2 * leaves; i = i + 1)
        tree[i*acc_bits +: acc_bits] <= {acc_bits{1'b0}};
      tree_valid <= {(levels + 1){1'b0}};
      tree_last  <= {(levels + 1){1'b0}};
      acc        <= {acc_bits{1'b0}};
      sum_valid  <= 1'b0;
      sum        <= {acc_bits{1'b0}};
      result     <= {data_bits{1'b0}};
      valid      <= 1'b0;
    end else begin
      // The job: one row per clock, its taps and codes registered, then its samples read; a
      // sample older than the first one taken reads as 0. base and avail keep the job's values
      // until its last read: the next job starts at the earliest in the clock after busy fell.
      tab_valid <= busy;
      if (busy) begin
        tab_coeff <= row_coeff;
        tab_back  <= row_back;
        tab_last  <= row_last;
        if (row_index == rows - 1) begin
          busy <= 1'b0;
          row  <= {row_bits{1'b0}};
        end else
          row <= row + 1'b1;
      end
      rd_valid <= tab_valid;
      if (tab_valid) begin
        rd_coeff <= tab_coeff;
        rd_last  <= tab_last;
        for (k = 0; k < multipliers; k = k + 1)
          rd_zero[k] <= tab_back[k*32 +: 32] >= {{(32 - fill_bits){1'b0}}, avail};
      end
      if (take) begin
        wr_addr <= wr_addr + 1'b1;
        if (filled < depth)
          filled <= filled + 1'b1;
        // Every sample starts the job of its rate outputs.
        busy  <= 1'b1;
        base  <= wr_addr;
        avail <= filled < depth ? filled + 1'b1 : depth;
      end
      // The products into the tree's leaves, the tree's levels, then the sum of an output's
      // rows.
      tree[leaves*acc_bits +: leaves*acc_bits] <= lane_products;
      for (i = 1; i < leaves; i = i + 1)
        tree[i*acc_bits +: acc_bits] <= tree[2*i*acc_bits +: acc_bits] +
                                        tree[(2*i+1)*acc_bits +: acc_bits];
      tree_valid[0] <= rd_valid;
      tree_last[0]  <= rd_last;
      for (l = 1; l <= levels; l = l + 1) begin
        tree_valid[l] <= tree_valid[l-1];
        tree_last[l]  <= tree_last[l-1];
      end
      sum_valid <= 1'b0;
      if (tree_valid[levels]) begin
        if (tree_last[levels]) begin
          sum       <= acc + root;
          sum_valid <= 1'b1;
          acc       <= {acc_bits{1'b0}};
        end else
          acc <= acc + root;
      end
      // The sum shifted right by the coefficient bit length minus one and saturated.
      valid <= sum_valid;
      if (sum_valid)
        result <= scale(sum);
    end
  end
endmodule
