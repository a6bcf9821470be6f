-- firfilter_decim: polyphase decimating FIR filter, folded onto a few multipliers.
--
-- Output m is the FIR output at input sample m * rate (the first sample taken is sample 0):
-- sum_k h(k) x(m * rate - k) with the taps h in coefficient bits, in full precision, shifted
-- right by the coefficient bit length minus one (floor) and saturated into dout. Only the kept
-- outputs are computed: the sample that ends an output's window starts a job that walks the
-- table of non-zero taps, multipliers products per clock (one row of the table), while the
-- next rate - 1 samples are taken. Each multiplier lane keeps its own copy of the circular
-- sample buffer (block RAM on an FPGA that has it), so that every lane reads one sample per
-- clock; taps that are exactly 0 are left out of the table, and the last row is padded with
-- zero taps.
--   Clocks per rate samples at full rate: max(rate, rows + 1), rows = ceil(non-zero taps /
--   multipliers) (at least 1); din_ready is 0 only while a job is running and the next sample
--   would start another one.
--   Latency: rows + 4 + ceil(log2(multipliers)) clocks from the edge that takes sample
--   m * rate to dout_valid: the table stage, the read stage, the products, a binary adder
--   tree over the lanes with a register after every level, the accumulator and the
--   saturation.
--   Accumulator: coefficient bits + data bits + 9 guard bits, exact for up to 512 taps.
-- din and dout are two's complement. rst is synchronous, active high, and clears all state (the
-- buffers are not cleared: samples before the first one taken count as 0); every rate-th sample
-- taken gives one output, marked by dout_valid high for one clock.
-- VHDL-93, ieee.numeric_std only.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity firfilter_decim is
  port (
    clk        : in  std_logic;
    rst        : in  std_logic;
    din_valid  : in  std_logic;
    din_ready  : out std_logic;
    din        : in  std_logic_vector(DIOB-1 downto 0);
    dout_valid : out std_logic;
    dout       : out std_logic_vector(DIOB-1 downto 0));
end entity firfilter_decim;

architecture folded of firfilter_decim is
  constant taps        : integer := TAPN;
  constant rate        : integer := POLYM;
  -- The table's entries, whole rows of one product per multiplier lane.
  constant entries     : integer := POLYE;
  constant multipliers : integer := POLYK;
  constant rows        : integer := entries / multipliers;
  -- The samples one job reaches back over, and the buffer's address bits.
  constant depth       : integer := POLYD;
  constant addr_bits   : integer := POLYA;
  constant words       : integer := 2 ** addr_bits;
  constant coeff_bits  : integer := COB;
  constant data_bits   : integer := DIOB;
  constant guard_bits  : integer := ADDB;
  constant acc_bits    : integer := coeff_bits + data_bits + guard_bits;

  subtype coeff_word is signed(COB-1 downto 0);
  subtype data_word is signed(DIOB-1 downto 0);
  subtype acc_word is signed(acc_bits - 1 downto 0);
  type coeff_table is array (natural range <>) of coeff_word;
  type code_table is array (natural range <>) of natural;
  type sample_buffer is array (0 to words - 1) of data_word;

  -- Entry e of the job's walk, row e / multipliers of lane e mod multipliers: its tap in
  -- coefficient bits, and its code, 2 * (how many samples before the newest one it multiplies)
  -- + 1 when its row ends an output (marked on the row's last entry). Only the first entries
  -- are used.
  constant all_coeffs : coeff_table(0 to 399) := (
    "reph  0", -- entry 0
    "reph  1", -- entry 1
    "reph  2", -- entry 2
    "reph  3", -- entry 3
    "reph  4", -- entry 4
    "reph  5", -- entry 5
    "reph  6", -- entry 6
    "reph  7", -- entry 7
    "reph  8", -- entry 8
    "reph  9", -- entry 9
    "reph 10", -- entry 10
    "reph 11", -- entry 11
    "reph 12", -- entry 12
    "reph 13", -- entry 13
    "reph 14", -- entry 14
    "reph 15", -- entry 15
    "reph 16", -- entry 16
    "reph 17", -- entry 17
    "reph 18", -- entry 18
    "reph 19", -- entry 19
    "reph 20", -- entry 20
    "reph 21", -- entry 21
    "reph 22", -- entry 22
    "reph 23", -- entry 23
    "reph 24", -- entry 24
    "reph 25", -- entry 25
    "reph 26", -- entry 26
    "reph 27", -- entry 27
    "reph 28", -- entry 28
    "reph 29", -- entry 29
    "reph 30", -- entry 30
    "reph 31", -- entry 31
    "reph 32", -- entry 32
    "reph 33", -- entry 33
    "reph 34", -- entry 34
    "reph 35", -- entry 35
    "reph 36", -- entry 36
    "reph 37", -- entry 37
    "reph 38", -- entry 38
    "reph 39", -- entry 39
    "reph 40", -- entry 40
    "reph 41", -- entry 41
    "reph 42", -- entry 42
    "reph 43", -- entry 43
    "reph 44", -- entry 44
    "reph 45", -- entry 45
    "reph 46", -- entry 46
    "reph 47", -- entry 47
    "reph 48", -- entry 48
    "reph 49", -- entry 49
    "reph 50", -- entry 50
    "reph 51", -- entry 51
    "reph 52", -- entry 52
    "reph 53", -- entry 53
    "reph 54", -- entry 54
    "reph 55", -- entry 55
    "reph 56", -- entry 56
    "reph 57", -- entry 57
    "reph 58", -- entry 58
    "reph 59", -- entry 59
    "reph 60", -- entry 60
    "reph 61", -- entry 61
    "reph 62", -- entry 62
    "reph 63", -- entry 63
    "reph 64", -- entry 64
    "reph 65", -- entry 65
    "reph 66", -- entry 66
    "reph 67", -- entry 67
    "reph 68", -- entry 68
    "reph 69", -- entry 69
    "reph 70", -- entry 70
    "reph 71", -- entry 71
    "reph 72", -- entry 72
    "reph 73", -- entry 73
    "reph 74", -- entry 74
    "reph 75", -- entry 75
    "reph 76", -- entry 76
    "reph 77", -- entry 77
    "reph 78", -- entry 78
    "reph 79", -- entry 79
    "reph 80", -- entry 80
    "reph 81", -- entry 81
    "reph 82", -- entry 82
    "reph 83", -- entry 83
    "reph 84", -- entry 84
    "reph 85", -- entry 85
    "reph 86", -- entry 86
    "reph 87", -- entry 87
    "reph 88", -- entry 88
    "reph 89", -- entry 89
    "reph 90", -- entry 90
    "reph 91", -- entry 91
    "reph 92", -- entry 92
    "reph 93", -- entry 93
    "reph 94", -- entry 94
    "reph 95", -- entry 95
    "reph 96", -- entry 96
    "reph 97", -- entry 97
    "reph 98", -- entry 98
    "reph 99", -- entry 99
    "reph100", -- entry 100
    "reph101", -- entry 101
    "reph102", -- entry 102
    "reph103", -- entry 103
    "reph104", -- entry 104
    "reph105", -- entry 105
    "reph106", -- entry 106
    "reph107", -- entry 107
    "reph108", -- entry 108
    "reph109", -- entry 109
    "reph110", -- entry 110
    "reph111", -- entry 111
    "reph112", -- entry 112
    "reph113", -- entry 113
    "reph114", -- entry 114
    "reph115", -- entry 115
    "reph116", -- entry 116
    "reph117", -- entry 117
    "reph118", -- entry 118
    "reph119", -- entry 119
    "reph120", -- entry 120
    "reph121", -- entry 121
    "reph122", -- entry 122
    "reph123", -- entry 123
    "reph124", -- entry 124
    "reph125", -- entry 125
    "reph126", -- entry 126
    "reph127", -- entry 127
    "reph128", -- entry 128
    "reph129", -- entry 129
    "reph130", -- entry 130
    "reph131", -- entry 131
    "reph132", -- entry 132
    "reph133", -- entry 133
    "reph134", -- entry 134
    "reph135", -- entry 135
    "reph136", -- entry 136
    "reph137", -- entry 137
    "reph138", -- entry 138
    "reph139", -- entry 139
    "reph140", -- entry 140
    "reph141", -- entry 141
    "reph142", -- entry 142
    "reph143", -- entry 143
    "reph144", -- entry 144
    "reph145", -- entry 145
    "reph146", -- entry 146
    "reph147", -- entry 147
    "reph148", -- entry 148
    "reph149", -- entry 149
    "reph150", -- entry 150
    "reph151", -- entry 151
    "reph152", -- entry 152
    "reph153", -- entry 153
    "reph154", -- entry 154
    "reph155", -- entry 155
    "reph156", -- entry 156
    "reph157", -- entry 157
    "reph158", -- entry 158
    "reph159", -- entry 159
    "reph160", -- entry 160
    "reph161", -- entry 161
    "reph162", -- entry 162
    "reph163", -- entry 163
    "reph164", -- entry 164
    "reph165", -- entry 165
    "reph166", -- entry 166
    "reph167", -- entry 167
    "reph168", -- entry 168
    "reph169", -- entry 169
    "reph170", -- entry 170
    "reph171", -- entry 171
    "reph172", -- entry 172
    "reph173", -- entry 173
    "reph174", -- entry 174
    "reph175", -- entry 175
    "reph176", -- entry 176
    "reph177", -- entry 177
    "reph178", -- entry 178
    "reph179", -- entry 179
    "reph180", -- entry 180
    "reph181", -- entry 181
    "reph182", -- entry 182
    "reph183", -- entry 183
    "reph184", -- entry 184
    "reph185", -- entry 185
    "reph186", -- entry 186
    "reph187", -- entry 187
    "reph188", -- entry 188
    "reph189", -- entry 189
    "reph190", -- entry 190
    "reph191", -- entry 191
    "reph192", -- entry 192
    "reph193", -- entry 193
    "reph194", -- entry 194
    "reph195", -- entry 195
    "reph196", -- entry 196
    "reph197", -- entry 197
    "reph198", -- entry 198
    "reph199", -- entry 199
    "reph200", -- entry 200
    "reph201", -- entry 201
    "reph202", -- entry 202
    "reph203", -- entry 203
    "reph204", -- entry 204
    "reph205", -- entry 205
    "reph206", -- entry 206
    "reph207", -- entry 207
    "reph208", -- entry 208
    "reph209", -- entry 209
    "reph210", -- entry 210
    "reph211", -- entry 211
    "reph212", -- entry 212
    "reph213", -- entry 213
    "reph214", -- entry 214
    "reph215", -- entry 215
    "reph216", -- entry 216
    "reph217", -- entry 217
    "reph218", -- entry 218
    "reph219", -- entry 219
    "reph220", -- entry 220
    "reph221", -- entry 221
    "reph222", -- entry 222
    "reph223", -- entry 223
    "reph224", -- entry 224
    "reph225", -- entry 225
    "reph226", -- entry 226
    "reph227", -- entry 227
    "reph228", -- entry 228
    "reph229", -- entry 229
    "reph230", -- entry 230
    "reph231", -- entry 231
    "reph232", -- entry 232
    "reph233", -- entry 233
    "reph234", -- entry 234
    "reph235", -- entry 235
    "reph236", -- entry 236
    "reph237", -- entry 237
    "reph238", -- entry 238
    "reph239", -- entry 239
    "reph240", -- entry 240
    "reph241", -- entry 241
    "reph242", -- entry 242
    "reph243", -- entry 243
    "reph244", -- entry 244
    "reph245", -- entry 245
    "reph246", -- entry 246
    "reph247", -- entry 247
    "reph248", -- entry 248
    "reph249", -- entry 249
    "reph250", -- entry 250
    "reph251", -- entry 251
    "reph252", -- entry 252
    "reph253", -- entry 253
    "reph254", -- entry 254
    "reph255", -- entry 255
    "reph256", -- entry 256
    "reph257", -- entry 257
    "reph258", -- entry 258
    "reph259", -- entry 259
    "reph260", -- entry 260
    "reph261", -- entry 261
    "reph262", -- entry 262
    "reph263", -- entry 263
    "reph264", -- entry 264
    "reph265", -- entry 265
    "reph266", -- entry 266
    "reph267", -- entry 267
    "reph268", -- entry 268
    "reph269", -- entry 269
    "reph270", -- entry 270
    "reph271", -- entry 271
    "reph272", -- entry 272
    "reph273", -- entry 273
    "reph274", -- entry 274
    "reph275", -- entry 275
    "reph276", -- entry 276
    "reph277", -- entry 277
    "reph278", -- entry 278
    "reph279", -- entry 279
    "reph280", -- entry 280
    "reph281", -- entry 281
    "reph282", -- entry 282
    "reph283", -- entry 283
    "reph284", -- entry 284
    "reph285", -- entry 285
    "reph286", -- entry 286
    "reph287", -- entry 287
    "reph288", -- entry 288
    "reph289", -- entry 289
    "reph290", -- entry 290
    "reph291", -- entry 291
    "reph292", -- entry 292
    "reph293", -- entry 293
    "reph294", -- entry 294
    "reph295", -- entry 295
    "reph296", -- entry 296
    "reph297", -- entry 297
    "reph298", -- entry 298
    "reph299", -- entry 299
    "reph300", -- entry 300
    "reph301", -- entry 301
    "reph302", -- entry 302
    "reph303", -- entry 303
    "reph304", -- entry 304
    "reph305", -- entry 305
    "reph306", -- entry 306
    "reph307", -- entry 307
    "reph308", -- entry 308
    "reph309", -- entry 309
    "reph310", -- entry 310
    "reph311", -- entry 311
    "reph312", -- entry 312
    "reph313", -- entry 313
    "reph314", -- entry 314
    "reph315", -- entry 315
    "reph316", -- entry 316
    "reph317", -- entry 317
    "reph318", -- entry 318
    "reph319", -- entry 319
    "reph320", -- entry 320
    "reph321", -- entry 321
    "reph322", -- entry 322
    "reph323", -- entry 323
    "reph324", -- entry 324
    "reph325", -- entry 325
    "reph326", -- entry 326
    "reph327", -- entry 327
    "reph328", -- entry 328
    "reph329", -- entry 329
    "reph330", -- entry 330
    "reph331", -- entry 331
    "reph332", -- entry 332
    "reph333", -- entry 333
    "reph334", -- entry 334
    "reph335", -- entry 335
    "reph336", -- entry 336
    "reph337", -- entry 337
    "reph338", -- entry 338
    "reph339", -- entry 339
    "reph340", -- entry 340
    "reph341", -- entry 341
    "reph342", -- entry 342
    "reph343", -- entry 343
    "reph344", -- entry 344
    "reph345", -- entry 345
    "reph346", -- entry 346
    "reph347", -- entry 347
    "reph348", -- entry 348
    "reph349", -- entry 349
    "reph350", -- entry 350
    "reph351", -- entry 351
    "reph352", -- entry 352
    "reph353", -- entry 353
    "reph354", -- entry 354
    "reph355", -- entry 355
    "reph356", -- entry 356
    "reph357", -- entry 357
    "reph358", -- entry 358
    "reph359", -- entry 359
    "reph360", -- entry 360
    "reph361", -- entry 361
    "reph362", -- entry 362
    "reph363", -- entry 363
    "reph364", -- entry 364
    "reph365", -- entry 365
    "reph366", -- entry 366
    "reph367", -- entry 367
    "reph368", -- entry 368
    "reph369", -- entry 369
    "reph370", -- entry 370
    "reph371", -- entry 371
    "reph372", -- entry 372
    "reph373", -- entry 373
    "reph374", -- entry 374
    "reph375", -- entry 375
    "reph376", -- entry 376
    "reph377", -- entry 377
    "reph378", -- entry 378
    "reph379", -- entry 379
    "reph380", -- entry 380
    "reph381", -- entry 381
    "reph382", -- entry 382
    "reph383", -- entry 383
    "reph384", -- entry 384
    "reph385", -- entry 385
    "reph386", -- entry 386
    "reph387", -- entry 387
    "reph388", -- entry 388
    "reph389", -- entry 389
    "reph390", -- entry 390
    "reph391", -- entry 391
    "reph392", -- entry 392
    "reph393", -- entry 393
    "reph394", -- entry 394
    "reph395", -- entry 395
    "reph396", -- entry 396
    "reph397", -- entry 397
    "reph398", -- entry 398
    "reph399" -- entry 399
  );
  constant all_codes : code_table(0 to 399) := (
    repo  0, -- entry 0
    repo  1, -- entry 1
    repo  2, -- entry 2
    repo  3, -- entry 3
    repo  4, -- entry 4
    repo  5, -- entry 5
    repo  6, -- entry 6
    repo  7, -- entry 7
    repo  8, -- entry 8
    repo  9, -- entry 9
    repo 10, -- entry 10
    repo 11, -- entry 11
    repo 12, -- entry 12
    repo 13, -- entry 13
    repo 14, -- entry 14
    repo 15, -- entry 15
    repo 16, -- entry 16
    repo 17, -- entry 17
    repo 18, -- entry 18
    repo 19, -- entry 19
    repo 20, -- entry 20
    repo 21, -- entry 21
    repo 22, -- entry 22
    repo 23, -- entry 23
    repo 24, -- entry 24
    repo 25, -- entry 25
    repo 26, -- entry 26
    repo 27, -- entry 27
    repo 28, -- entry 28
    repo 29, -- entry 29
    repo 30, -- entry 30
    repo 31, -- entry 31
    repo 32, -- entry 32
    repo 33, -- entry 33
    repo 34, -- entry 34
    repo 35, -- entry 35
    repo 36, -- entry 36
    repo 37, -- entry 37
    repo 38, -- entry 38
    repo 39, -- entry 39
    repo 40, -- entry 40
    repo 41, -- entry 41
    repo 42, -- entry 42
    repo 43, -- entry 43
    repo 44, -- entry 44
    repo 45, -- entry 45
    repo 46, -- entry 46
    repo 47, -- entry 47
    repo 48, -- entry 48
    repo 49, -- entry 49
    repo 50, -- entry 50
    repo 51, -- entry 51
    repo 52, -- entry 52
    repo 53, -- entry 53
    repo 54, -- entry 54
    repo 55, -- entry 55
    repo 56, -- entry 56
    repo 57, -- entry 57
    repo 58, -- entry 58
    repo 59, -- entry 59
    repo 60, -- entry 60
    repo 61, -- entry 61
    repo 62, -- entry 62
    repo 63, -- entry 63
    repo 64, -- entry 64
    repo 65, -- entry 65
    repo 66, -- entry 66
    repo 67, -- entry 67
    repo 68, -- entry 68
    repo 69, -- entry 69
    repo 70, -- entry 70
    repo 71, -- entry 71
    repo 72, -- entry 72
    repo 73, -- entry 73
    repo 74, -- entry 74
    repo 75, -- entry 75
    repo 76, -- entry 76
    repo 77, -- entry 77
    repo 78, -- entry 78
    repo 79, -- entry 79
    repo 80, -- entry 80
    repo 81, -- entry 81
    repo 82, -- entry 82
    repo 83, -- entry 83
    repo 84, -- entry 84
    repo 85, -- entry 85
    repo 86, -- entry 86
    repo 87, -- entry 87
    repo 88, -- entry 88
    repo 89, -- entry 89
    repo 90, -- entry 90
    repo 91, -- entry 91
    repo 92, -- entry 92
    repo 93, -- entry 93
    repo 94, -- entry 94
    repo 95, -- entry 95
    repo 96, -- entry 96
    repo 97, -- entry 97
    repo 98, -- entry 98
    repo 99, -- entry 99
    repo100, -- entry 100
    repo101, -- entry 101
    repo102, -- entry 102
    repo103, -- entry 103
    repo104, -- entry 104
    repo105, -- entry 105
    repo106, -- entry 106
    repo107, -- entry 107
    repo108, -- entry 108
    repo109, -- entry 109
    repo110, -- entry 110
    repo111, -- entry 111
    repo112, -- entry 112
    repo113, -- entry 113
    repo114, -- entry 114
    repo115, -- entry 115
    repo116, -- entry 116
    repo117, -- entry 117
    repo118, -- entry 118
    repo119, -- entry 119
    repo120, -- entry 120
    repo121, -- entry 121
    repo122, -- entry 122
    repo123, -- entry 123
    repo124, -- entry 124
    repo125, -- entry 125
    repo126, -- entry 126
    repo127, -- entry 127
    repo128, -- entry 128
    repo129, -- entry 129
    repo130, -- entry 130
    repo131, -- entry 131
    repo132, -- entry 132
    repo133, -- entry 133
    repo134, -- entry 134
    repo135, -- entry 135
    repo136, -- entry 136
    repo137, -- entry 137
    repo138, -- entry 138
    repo139, -- entry 139
    repo140, -- entry 140
    repo141, -- entry 141
    repo142, -- entry 142
    repo143, -- entry 143
    repo144, -- entry 144
    repo145, -- entry 145
    repo146, -- entry 146
    repo147, -- entry 147
    repo148, -- entry 148
    repo149, -- entry 149
    repo150, -- entry 150
    repo151, -- entry 151
    repo152, -- entry 152
    repo153, -- entry 153
    repo154, -- entry 154
    repo155, -- entry 155
    repo156, -- entry 156
    repo157, -- entry 157
    repo158, -- entry 158
    repo159, -- entry 159
    repo160, -- entry 160
    repo161, -- entry 161
    repo162, -- entry 162
    repo163, -- entry 163
    repo164, -- entry 164
    repo165, -- entry 165
    repo166, -- entry 166
    repo167, -- entry 167
    repo168, -- entry 168
    repo169, -- entry 169
    repo170, -- entry 170
    repo171, -- entry 171
    repo172, -- entry 172
    repo173, -- entry 173
    repo174, -- entry 174
    repo175, -- entry 175
    repo176, -- entry 176
    repo177, -- entry 177
    repo178, -- entry 178
    repo179, -- entry 179
    repo180, -- entry 180
    repo181, -- entry 181
    repo182, -- entry 182
    repo183, -- entry 183
    repo184, -- entry 184
    repo185, -- entry 185
    repo186, -- entry 186
    repo187, -- entry 187
    repo188, -- entry 188
    repo189, -- entry 189
    repo190, -- entry 190
    repo191, -- entry 191
    repo192, -- entry 192
    repo193, -- entry 193
    repo194, -- entry 194
    repo195, -- entry 195
    repo196, -- entry 196
    repo197, -- entry 197
    repo198, -- entry 198
    repo199, -- entry 199
    repo200, -- entry 200
    repo201, -- entry 201
    repo202, -- entry 202
    repo203, -- entry 203
    repo204, -- entry 204
    repo205, -- entry 205
    repo206, -- entry 206
    repo207, -- entry 207
    repo208, -- entry 208
    repo209, -- entry 209
    repo210, -- entry 210
    repo211, -- entry 211
    repo212, -- entry 212
    repo213, -- entry 213
    repo214, -- entry 214
    repo215, -- entry 215
    repo216, -- entry 216
    repo217, -- entry 217
    repo218, -- entry 218
    repo219, -- entry 219
    repo220, -- entry 220
    repo221, -- entry 221
    repo222, -- entry 222
    repo223, -- entry 223
    repo224, -- entry 224
    repo225, -- entry 225
    repo226, -- entry 226
    repo227, -- entry 227
    repo228, -- entry 228
    repo229, -- entry 229
    repo230, -- entry 230
    repo231, -- entry 231
    repo232, -- entry 232
    repo233, -- entry 233
    repo234, -- entry 234
    repo235, -- entry 235
    repo236, -- entry 236
    repo237, -- entry 237
    repo238, -- entry 238
    repo239, -- entry 239
    repo240, -- entry 240
    repo241, -- entry 241
    repo242, -- entry 242
    repo243, -- entry 243
    repo244, -- entry 244
    repo245, -- entry 245
    repo246, -- entry 246
    repo247, -- entry 247
    repo248, -- entry 248
    repo249, -- entry 249
    repo250, -- entry 250
    repo251, -- entry 251
    repo252, -- entry 252
    repo253, -- entry 253
    repo254, -- entry 254
    repo255, -- entry 255
    repo256, -- entry 256
    repo257, -- entry 257
    repo258, -- entry 258
    repo259, -- entry 259
    repo260, -- entry 260
    repo261, -- entry 261
    repo262, -- entry 262
    repo263, -- entry 263
    repo264, -- entry 264
    repo265, -- entry 265
    repo266, -- entry 266
    repo267, -- entry 267
    repo268, -- entry 268
    repo269, -- entry 269
    repo270, -- entry 270
    repo271, -- entry 271
    repo272, -- entry 272
    repo273, -- entry 273
    repo274, -- entry 274
    repo275, -- entry 275
    repo276, -- entry 276
    repo277, -- entry 277
    repo278, -- entry 278
    repo279, -- entry 279
    repo280, -- entry 280
    repo281, -- entry 281
    repo282, -- entry 282
    repo283, -- entry 283
    repo284, -- entry 284
    repo285, -- entry 285
    repo286, -- entry 286
    repo287, -- entry 287
    repo288, -- entry 288
    repo289, -- entry 289
    repo290, -- entry 290
    repo291, -- entry 291
    repo292, -- entry 292
    repo293, -- entry 293
    repo294, -- entry 294
    repo295, -- entry 295
    repo296, -- entry 296
    repo297, -- entry 297
    repo298, -- entry 298
    repo299, -- entry 299
    repo300, -- entry 300
    repo301, -- entry 301
    repo302, -- entry 302
    repo303, -- entry 303
    repo304, -- entry 304
    repo305, -- entry 305
    repo306, -- entry 306
    repo307, -- entry 307
    repo308, -- entry 308
    repo309, -- entry 309
    repo310, -- entry 310
    repo311, -- entry 311
    repo312, -- entry 312
    repo313, -- entry 313
    repo314, -- entry 314
    repo315, -- entry 315
    repo316, -- entry 316
    repo317, -- entry 317
    repo318, -- entry 318
    repo319, -- entry 319
    repo320, -- entry 320
    repo321, -- entry 321
    repo322, -- entry 322
    repo323, -- entry 323
    repo324, -- entry 324
    repo325, -- entry 325
    repo326, -- entry 326
    repo327, -- entry 327
    repo328, -- entry 328
    repo329, -- entry 329
    repo330, -- entry 330
    repo331, -- entry 331
    repo332, -- entry 332
    repo333, -- entry 333
    repo334, -- entry 334
    repo335, -- entry 335
    repo336, -- entry 336
    repo337, -- entry 337
    repo338, -- entry 338
    repo339, -- entry 339
    repo340, -- entry 340
    repo341, -- entry 341
    repo342, -- entry 342
    repo343, -- entry 343
    repo344, -- entry 344
    repo345, -- entry 345
    repo346, -- entry 346
    repo347, -- entry 347
    repo348, -- entry 348
    repo349, -- entry 349
    repo350, -- entry 350
    repo351, -- entry 351
    repo352, -- entry 352
    repo353, -- entry 353
    repo354, -- entry 354
    repo355, -- entry 355
    repo356, -- entry 356
    repo357, -- entry 357
    repo358, -- entry 358
    repo359, -- entry 359
    repo360, -- entry 360
    repo361, -- entry 361
    repo362, -- entry 362
    repo363, -- entry 363
    repo364, -- entry 364
    repo365, -- entry 365
    repo366, -- entry 366
    repo367, -- entry 367
    repo368, -- entry 368
    repo369, -- entry 369
    repo370, -- entry 370
    repo371, -- entry 371
    repo372, -- entry 372
    repo373, -- entry 373
    repo374, -- entry 374
    repo375, -- entry 375
    repo376, -- entry 376
    repo377, -- entry 377
    repo378, -- entry 378
    repo379, -- entry 379
    repo380, -- entry 380
    repo381, -- entry 381
    repo382, -- entry 382
    repo383, -- entry 383
    repo384, -- entry 384
    repo385, -- entry 385
    repo386, -- entry 386
    repo387, -- entry 387
    repo388, -- entry 388
    repo389, -- entry 389
    repo390, -- entry 390
    repo391, -- entry 391
    repo392, -- entry 392
    repo393, -- entry 393
    repo394, -- entry 394
    repo395, -- entry 395
    repo396, -- entry 396
    repo397, -- entry 397
    repo398, -- entry 398
    repo399 -- entry 399
  );

  -- Lane k's column of the table, indexed downwards by the row (row r still at index r), so
  -- that synthesis reads it at the row counter itself; and whether each row ends an output.
  subtype coeff_column is coeff_table(rows - 1 downto 0);
  subtype code_column is code_table(rows - 1 downto 0);
  function column_of(t : coeff_table; lane : natural) return coeff_column is
    variable result : coeff_column;
  begin
    for r in 0 to rows - 1 loop
      result(r) := t(r * multipliers + lane);
    end loop;
    return result;
  end function column_of;
  function column_of(t : code_table; lane : natural) return code_column is
    variable result : code_column;
  begin
    for r in 0 to rows - 1 loop
      result(r) := t(r * multipliers + lane);
    end loop;
    return result;
  end function column_of;
  function row_ends(t : code_table) return std_logic_vector is
    variable result : std_logic_vector(rows - 1 downto 0);
  begin
    for r in 0 to rows - 1 loop
      if t(r * multipliers + multipliers - 1) mod 2 = 1 then
        result(r) := '1';
      else
        result(r) := '0';
      end if;
    end loop;
    return result;
  end function row_ends;
  constant ends : std_logic_vector(rows - 1 downto 0) := row_ends(all_codes(0 to entries - 1));

  -- v saturated to a width-bit word: kept when every bit from width - 1 up is a copy of the
  -- sign, otherwise the largest word of v's sign.
  function saturate(v : signed; width : natural) return signed is
    alias va : signed(v'length - 1 downto 0) is v;
    variable result : signed(width - 1 downto 0);
    variable fits : boolean;
  begin
    fits := true;
    for i in width - 1 to va'high loop
      if va(i) /= va(va'high) then
        fits := false;
      end if;
    end loop;
    if fits then
      result := va(width - 1 downto 0);
    elsif va(va'high) = '1' then
      result := (others => '0');
      result(width - 1) := '1';
    else
      result := (others => '1');
      result(width - 1) := '0';
    end if;
    return result;
  end function saturate;

  -- Levels of the adder tree over the lanes; its leaves are the next power of two.
  function tree_levels(n : integer) return integer is
    variable levels : integer := 0;
    variable width  : integer := 1;
  begin
    while width < n loop
      width := width * 2;
      levels := levels + 1;
    end loop;
    return levels;
  end function tree_levels;
  constant levels : integer := tree_levels(multipliers);
  constant leaves : integer := 2 ** levels;

  type data_lanes is array (0 to multipliers - 1) of data_word;
  type coeff_lanes is array (0 to multipliers - 1) of coeff_word;
  type back_lanes is array (0 to multipliers - 1) of integer range 0 to depth;
  -- The adder tree as a heap: node i sums nodes 2 i and 2 i + 1; the leaves are the lanes'
  -- products at leaves .. 2 leaves - 1, the root is node 1. A register after every level.
  type tree_array is array (1 to 2 * leaves - 1) of acc_word;

  signal take       : std_logic;
  signal wr_addr    : unsigned(addr_bits - 1 downto 0);
  signal filled     : integer range 0 to depth;    -- samples taken, up to depth
  signal phase      : integer range 0 to rate - 1; -- samples taken modulo rate
  signal busy       : std_logic;                   -- a job walks the table
  signal row        : integer range 0 to rows - 1;
  signal base       : unsigned(addr_bits - 1 downto 0); -- where the job's newest sample is
  signal avail      : integer range 0 to depth;    -- the job's samples taken since rst
  -- The table stage: the row's taps and how far back their samples are, registered.
  signal tab_valid  : std_logic;
  signal tab_coeff  : coeff_lanes;
  signal tab_back   : back_lanes;
  signal tab_last   : std_logic;
  -- The read stage, the products into the tree's leaves, the tree and the accumulator.
  signal rd_valid   : std_logic;
  signal rd_last    : std_logic;
  signal rd_zero    : std_logic_vector(0 to multipliers - 1);
  signal rd_sample  : data_lanes;
  signal rd_coeff   : coeff_lanes;
  signal tree       : tree_array;
  signal tree_valid : std_logic_vector(0 to levels);
  signal tree_last  : std_logic_vector(0 to levels);
  signal acc        : acc_word;
  signal sum_valid  : std_logic;
  signal sum        : acc_word;
  signal result     : std_logic_vector(data_bits - 1 downto 0);
  signal valid      : std_logic;
begin
  take       <= '1' when din_valid = '1' and not (phase = 0 and busy = '1') else '0';
  din_ready  <= '0' when phase = 0 and busy = '1' else '1';
  dout       <= result;
  dout_valid <= valid;

  -- The lanes: each registers its column's entry of the row, and keeps its own copy of the
  -- buffer, written with each sample taken and read one row per clock.
  lanes : for k in 0 to multipliers - 1 generate
    constant coeffs : coeff_column := column_of(all_coeffs(0 to entries - 1), k);
    constant codes  : code_column := column_of(all_codes(0 to entries - 1), k);
    signal samples : sample_buffer;
  begin
    process (clk)
    begin
      if rising_edge(clk) then
        if rst = '1' then
          tab_coeff(k) <= (others => '0');
          tab_back(k)  <= 0;
        elsif busy = '1' then
          tab_coeff(k) <= coeffs(row);
          tab_back(k)  <= codes(row) / 2;
        end if;
      end if;
    end process;

    process (clk)
    begin
      if rising_edge(clk) then
        if take = '1' then
          samples(to_integer(wr_addr)) <= signed(din);
        end if;
        if tab_valid = '1' then
          rd_sample(k) <= samples(to_integer(base - to_unsigned(tab_back(k), addr_bits)));
        end if;
      end if;
    end process;
  end generate lanes;

  process (clk)
  begin
    if rising_edge(clk) then
      if rst = '1' then
        wr_addr    <= (others => '0');
        filled     <= 0;
        phase      <= 0;
        busy       <= '0';
        row        <= 0;
        base       <= (others => '0');
        avail      <= 0;
        tab_valid  <= '0';
        tab_last   <= '0';
        rd_valid   <= '0';
        rd_last    <= '0';
        rd_zero    <= (others => '0');
        rd_coeff   <= (others => (others => '0'));
        tree       <= (others => (others => '0'));
        tree_valid <= (others => '0');
        tree_last  <= (others => '0');
        acc        <= (others => '0');
        sum_valid  <= '0';
        sum        <= (others => '0');
        result     <= (others => '0');
        valid      <= '0';
      else
        -- The job: one row per clock, its taps and codes registered (by the lanes), then its
        -- samples read; a sample older than the first one taken reads as 0. base and avail keep
        -- the job's values until its last read: the next job starts at the earliest in the clock after
        -- busy fell.
        tab_valid <= busy;
        if busy = '1' then
          tab_last <= ends(row);
          if row = rows - 1 then
            busy <= '0';
            row  <= 0;
          else
            row <= row + 1;
          end if;
        end if;
        rd_valid <= tab_valid;
        if tab_valid = '1' then
          rd_coeff <= tab_coeff;
          rd_last  <= tab_last;
          for k in 0 to multipliers - 1 loop
            if tab_back(k) >= avail then
              rd_zero(k) <= '1';
            else
              rd_zero(k) <= '0';
            end if;
          end loop;
        end if;
        if take = '1' then
          wr_addr <= wr_addr + 1;
          if filled < depth then
            filled <= filled + 1;
          end if;
          if phase = 0 then
            -- This sample is the newest of an output's window: start its job.
            busy <= '1';
            base <= wr_addr;
            if filled < depth then
              avail <= filled + 1;
            else
              avail <= depth;
            end if;
          end if;
          if phase = rate - 1 then
            phase <= 0;
          else
            phase <= phase + 1;
          end if;
        end if;
        -- The products into the tree's leaves, the tree's levels, then the sum of an output's
        -- rows.
        for k in 0 to leaves - 1 loop
          if k < multipliers and rd_zero(k) = '0' then
            tree(leaves + k) <= resize(rd_coeff(k) * rd_sample(k), acc_bits);
          else
            tree(leaves + k) <= (others => '0');
          end if;
        end loop;
        for i in 1 to leaves - 1 loop
          tree(i) <= tree(2 * i) + tree(2 * i + 1);
        end loop;
        tree_valid(0) <= rd_valid;
        tree_last(0)  <= rd_last;
        for l in 1 to levels loop
          tree_valid(l) <= tree_valid(l - 1);
          tree_last(l)  <= tree_last(l - 1);
        end loop;
        sum_valid <= '0';
        if tree_valid(levels) = '1' then
          if tree_last(levels) = '1' then
            sum       <= acc + tree(1);
            sum_valid <= '1';
            acc       <= (others => '0');
          else
            acc <= acc + tree(1);
          end if;
        end if;
        -- The sum shifted right by the coefficient bit length minus one and saturated.
        valid <= sum_valid;
        if sum_valid = '1' then
          result <= std_logic_vector(saturate(shift_right(sum, coeff_bits - 1), data_bits));
        end if;
      end if;
    end if;
  end process;
end architecture folded;
