#!/usr/bin/env python3
"""Generates src/catalogue/ChordCatalogueData.cpp, the built-in table of 611 chord voicings.

Run from the repository root:  python3 tools/generate_catalogue.py [--check]
It enumerates every six-string shape within five relative frets, keeps the ones that spell a
chord type's formula and can be fingered, scores them (stretch, gaps, doublings, muddy bass),
and fills each entry with the best unused voicing of its type while meeting the required
sounding-string counts. The hand-fixed entries in FIXED are kept as they are. The result is
deterministic; review the diff of the C++ table by hand. --check only prints the string
counts; --costs also lists the voicings that scored worst, for review.
"""

import itertools
import re
import sys
from collections import Counter, defaultdict
from pathlib import Path

OPEN = [40, 45, 50, 55, 59, 64]  # low E .. high e
SEMITONES = {"R": 0, "b9": 1, "2": 2, "9": 2, "b3": 3, "#9": 3, "3": 4, "4": 5, "11": 5,
             "b5": 6, "#11": 6, "+11": 6, "5": 7, "#5": 8, "b6": 8, "6": 9, "13": 9,
             "b7": 10, "7": 11}
STRING_COUNT_TARGET = {2: 3, 3: 55, 4: 374, 5: 112, 6: 67}

# chordType of every entry, entry for entry ("a-b" is a run of one type).
TYPE_RUNS = r"""
1 " octave"; 2-4 "5"; 5 "(no5th)"; 6-18 "maj"; 19-26 "/3rd"; 27-33 "/5th"; 34 "m(no5th)";
35-44 "m"; 45-47 "m/b3rd"; 48 "6(no5th)"; 49 "m/b3rd"; 50 "6(no5th)"; 51 "m/b3rd";
52 "6(no5th)"; 53-55 "m/b3rd"; 56-60 "m/5th"; 61-66 "sus4"; 67-74 "sus2"; 75 "7sus4(no5th)";
76 "sus4/5th"; 77 "7sus4(no5th)"; 78-79 "sus4/5th"; 80-81 "dim"; 82 "dim7/b5th(nob3rd)";
83 "dim"; 84 "dim/b3rd"; 85 "m6(no5th)"; 86 "dim7(nob5th)"; 87 "dim/b3rd"; 88-89 "dim/b5th";
90 "dim/b3rd"; 91-105 "7"; 106-109 "7/3rd"; 110-115 "7/5th"; 116-119 "7/b7th";
120-124 "7(no5th)"; 125 "7/3rd"; 126-132 "M7"; 133 "m9/b3rdNR"; 134 "M7"; 135 "m9/b3rdNR";
136 "M7"; 137 "m9/b3rdNR"; 138 "M7"; 139 "m9/b3rdNR"; 140 "M7"; 141 "m9/b3rdNR"; 142 "M7";
143 "M7/3rd"; 144 "m9/5thNR"; 145 "minb6"; 146 "M7/3rd"; 147 "m9/5thNR"; 148-149 "M7/3rd";
150 "m(b6)"; 151-154 "M7/5th"; 155 "M13"; 156 "m9/b7thNR"; 157 "M7/5th"; 158 "m9/b7thNR";
159-161 "M7/7th"; 162 "M7(no5th)"; 163 "6/6th"; 164-173 "m7"; 174 "M9/3rdNR"; 175-176 "m7";
177 "6/6th"; 178 "m7"; 179 "M9/3rdNR"; 180 "m7"; 181 "6"; 182 "M9/5thNR"; 183 "6";
184 "m7/b3rd"; 185-187 "6"; 188-189 "m7/b3rd"; 190 "11/b7thNR"; 191 "6"; 192 "6/3rd";
193 "m7/5th"; 194 "M9/7thNR"; 195 "11/9thNR"; 196 "6/3rd"; 197-198 "m7/5th"; 199 "6/3rd";
200 "m7/5th"; 201-202 "6/3rd"; 203 "m7/5th"; 204 "M9/7thNR"; 205 "11/9thNR"; 206 "6/5th";
207-208 "m7/b7th"; 209 "11/11thNR"; 210-211 "6/5th"; 212 "m7/b7th"; 213 "11/11thNR";
214 "6/5th"; 215 "m7/b7th"; 216-220 "m7(no5th)"; 221 "sus4sus2"; 222 "m7b5"; 223 "9/3rdNR";
224-225 "m7b5"; 226 "9/3rdNR"; 227 "m7b5"; 228 "9/3rdNR"; 229-230 "m7b5"; 231 "9/3rdNR";
232 "m6/6th"; 233-234 "m7b5"; 235 "9/3rdNR"; 236 "m7b5"; 237 "m6"; 238 "9/5thNR"; 239-241 "m6";
242 "m7b5/b3rd"; 243 "m6"; 244 "m7b5/b3rd"; 245-246 "m6"; 247 "m7b5/b3rd"; 248-249 "m6";
250 "m7b5/b5th"; 251 "m6/b3rd"; 252 "m7b5/b5th"; 253 "m6/b3rd"; 254 "9/b7thNR"; 255 "m6/5th";
256 "11"; 257 "7sus4"; 258-259 "11"; 260 "7sus4"; 261 "6\9/6thNR"; 262 "11"; 263-264 "7sus4";
265 "sus4sus2"; 266 "7sus4/4th"; 267 "sus4sus2"; 268 "7sus4/4th"; 269 "7sus4/5th";
270 "11/5th"; 271 "7sus4/5th"; 272-273 "m11"; 274 "6\9/3rdNR"; 275 "m11(no5th)"; 276 "m11";
277 "6\9/3rdNR"; 278 "6\9/6th"; 279 "9/6/7thNR"; 280 "6\9/3rdNR"; 281 "6\9/5thNR";
282 "7sus4/b7th"; 283-285 "madd9"; 286 "M13"; 287 "majb5"; 288-291 "(b5)"; 292-293 "(b5)/3rd";
294-295 "(b5)/b5th"; 296 "M7b5"; 297-298 "M7(+11)"; 299-300 "M7b5"; 301 "M7(+11)";
302-303 "M7b5"; 304 "M7(+11)"; 305 "M7b5"; 306 "13/b7thNR"; 307 "M7(+11)"; 308 "13/b7thNR";
309-310 "M7b5"; 311 "13/b7thNR"; 312 "M7b5"; 313-314 "M7b5/3rd"; 315 "M7b5/b5th";
316 "13/3rdNR"; 317 "sus4b5"; 318-320 "M9(no5th)"; 321-322 "13(no3rd)"; 323-325 "M9(no3rd)";
326-327 "sus#4sus2"; 328-329 "M11"; 330-331 "6\9(no5th)"; 332 "9/b7th"; 333 "6\9(no5th)";
334 "9(no3rd)"; 335 "m/4th"; 336 "6\9/3rd(no5th)"; 337 "m11(nob7th)"; 338-341 "m9(no5th)";
342 "7b9(no3rd)"; 343 "13/13thNR"; 344-345 "m6\9(no5th)"; 346 "13#9"; 347 "m13"; 348 "M7(+11)";
349-352 "7b5b9"; 353-359 "aug"; 360 "7b9/5thNR"; 361-362 "dim7"; 363 "7b9/3rdNR";
364 "dim7/b3rd"; 365 "7b9/b7thNR"; 366-367 "dim7"; 368 "7b9/3rdNR"; 369-370 "dim7";
371 "7b9/3rdNR"; 372 "dim7/b3rd"; 373-374 "7b9/b7thNR"; 375 "dim7"; 376-379 "M7#5";
380 "13(+11)/b7thNR"; 381-383 "M7#5"; 384-385 "M7#5/3rd"; 386 "M7#5/#5"; 387-394 "mM7";
395-396 "mM7/b3rd"; 397 "9(+11)/b7NR"; 398 "mM7/5th"; 399 "9(+11)/9thNR"; 400 "mM7/5th";
401 "9(+11)/9thNR"; 402 "mM7/7th"; 403 "9(+11)/+11thNR"; 404 "mM7/7th"; 405 "9(+11)/+11thNR";
406 "mM7/7th"; 407 "mM7(no5th)"; 408-412 "7#5"; 413 "7#5/3rd"; 414 "9b5/b7thNR";
415-416 "7#5/3rd"; 417-419 "7#5/#5th"; 420 "7#5/b7th"; 421-422 "9b5(no3rd)";
423-424 "7#5/b7th"; 425 "9b5/3rdNR"; 426 "7#5/b7th"; 427-433 "7b9(no5th)"; 434 "7b9/b7th";
435-436 "mM9(no5th)"; 437-438 "13b9/b9thNR"; 439 "13b9/3rdNR"; 440 "7#9/b7thNR";
441 "13b9/13th"; 442-443 "7#9/3rdNR"; 444-446 "13b9/b7thNR"; 447 "7#9/3rdNR"; 448-449 "m7#5";
450 "11/9th(no5th)"; 451-455 "add9"; 456-458 "11(no5th)"; 459-464 "9(no5th)";
465 "9/b7th(no5th)"; 466-469 "13"; 470 "13/13th"; 471-472 "M9(+11)"; 473-474 "13/b7th";
475 "7b5/b5th"; 476 "7b5"; 477 "7b5/b5th"; 478 "9#5/b7thNR"; 479 "7b5"; 480 "7b5/b5th";
481 "7b5"; 482 "7b5/b5th"; 483 "7b5"; 484 "7b5/b5th"; 485 "7b5"; 486 "7b5/b5th"; 487 "7b5";
488 "7b5/3rd"; 489 "7b5/b7th"; 490 "7b5/3rd"; 491 "7b5/b7th"; 492 "7b5/3rd"; 493 "7b5/b7th";
494 "7b5/3rd"; 495 "7b5/b7th"; 496-501 "7#9(no5th)"; 502-503 "13#9/13th";
504-505 "13#9/b7thNR"; 506-507 "m6\9"; 508-509 "13/b7thNR"; 510 "13/9thNR"; 511 "m13";
512 "M11"; 513 "13(no3rd)"; 514 "m11#5(nob7th)"; 515-519 "m9"; 520 "m9/b3rd"; 521 "m9/5th";
522 "M7(+11)"; 523 "m6\9(addb7)/5thNR"; 524 "m13"; 525-528 "6\9"; 529 "m11/5th"; 530 "m11#5";
531 "11/9th"; 532 "6\9/3rd"; 533 "m11#5"; 534 "6\9/5th"; 535 "m7sus"; 536-537 "m11";
538-539 "M9/3rd"; 540 "M9"; 541 "13sus4"; 542-544 "9"; 545 "9/3rd"; 546 "9/5th";
547-548 "M13(+11)"; 549 "6\9#11"; 550-551 "13"; 552-553 "13/3rd"; 554-555 "13(no5th)";
556 "13/3rd"; 557 "M9(+11)"; 558 "m11(no5th)"; 559 "m9#5"; 560-561 "mM9"; 562 "7#5(add5)";
563-565 "7#5b9"; 566-567 "7b9"; 568 "13b9/13thNR"; 569 "7b9/5th"; 570-571 "13b9/3rdNR";
572 "7b9/5th"; 573 "7b5b9"; 574 "7#11"; 575 "7b5#9"; 576-577 "7#5#9"; 578-580 "9b5"; 581 "9#5";
582 "9#5/9th"; 583-586 "7#9"; 587 "13b5b9/b5thNR"; 588 "7#9/5th"; 589 "13b5b9/3rdNR";
590-591 "7b9(+11)"; 592-593 "13#9/3rdNR"; 594-595 "13#9"; 596-597 "13b9(no5th)"; 598 "M13";
599 "m11#5"; 600 "maj13#11"; 601 "13sus4"; 602 "maj9#11/5th"; 603 "M9(+11)/5th"; 604 "maj9#11";
605 "m9sus"; 606 "maj9add6"; 607 "m11/5th"; 608 "6M7#11"; 609 "maj7#9#11/5th";
610 "9(+11)/5th"; 611 "7b9#11/5th"."""

# Formula per chordType: "required | optional" interval names. R is required unless the type
# is rootless (NR). The bass (first sounding string) of a slash type is taken from the name.
FORMULAS = {
    " octave": "R", "5": "R 5", "(no5th)": "R 3",
    "maj": "R 3 5", "/3rd": "R 3 5", "/5th": "R 3 5",
    "m(no5th)": "R b3", "m": "R b3 5", "m/b3rd": "R b3 5", "m/5th": "R b3 5",
    "6(no5th)": "R 3 6", "sus4": "R 4 5", "sus2": "R 2 5", "sus4/5th": "R 4 5",
    "7sus4(no5th)": "R 4 b7",
    "dim": "R b3 b5", "dim/b3rd": "R b3 b5", "dim/b5th": "R b3 b5",
    "dim7/b5th(nob3rd)": "R b5 6", "m6(no5th)": "R b3 6", "dim7(nob5th)": "R b3 6",
    "7": "R 3 5 b7", "7/3rd": "R 3 5 b7", "7/5th": "R 3 5 b7", "7/b7th": "R 3 5 b7",
    "7(no5th)": "R 3 b7",
    "M7": "R 3 5 7", "M7/3rd": "R 3 5 7", "M7/5th": "R 3 5 7", "M7/7th": "R 3 5 7",
    "M7(no5th)": "R 3 7",
    "m9/b3rdNR": "b3 b7 9 | 5", "m9/5thNR": "b3 b7 9 | 5", "m9/b7thNR": "b3 b7 9 | 5",
    "minb6": "R b3 b6 | 5", "m(b6)": "R b3 b6 | 5",
    "M13": "R 3 7 13 | 5 9",
    "6": "R 3 5 6", "6/6th": "R 3 5 6", "6/3rd": "R 3 5 6", "6/5th": "R 3 5 6",
    "m7": "R b3 5 b7", "m7/b3rd": "R b3 5 b7", "m7/5th": "R b3 5 b7", "m7/b7th": "R b3 5 b7",
    "m7(no5th)": "R b3 b7",
    "M9/3rdNR": "3 7 9 | 5", "M9/5thNR": "3 7 9 | 5", "M9/7thNR": "3 7 9 | 5",
    "11/b7thNR": "b7 9 11 | 5", "11/9thNR": "b7 9 11 | 5", "11/11thNR": "b7 9 11 | 5",
    "sus4sus2": "R 2 4 | 5",
    "m7b5": "R b3 b5 b7", "m7b5/b3rd": "R b3 b5 b7", "m7b5/b5th": "R b3 b5 b7",
    "9/3rdNR": "3 b7 9 | 5", "9/5thNR": "3 b7 9 | 5", "9/b7thNR": "3 b7 9 | 5",
    "m6": "R b3 5 6", "m6/6th": "R b3 5 6", "m6/b3rd": "R b3 5 6", "m6/5th": "R b3 5 6",
    "11": "R b7 9 11 | 5", "11/5th": "R b7 9 11 | 5", "11/9th": "R b7 9 11 | 5",
    "7sus4": "R 4 5 b7", "7sus4/4th": "R 4 5 b7", "7sus4/5th": "R 4 5 b7",
    "7sus4/b7th": "R 4 5 b7",
    "6\\9/6thNR": "3 6 9 | 5", "6\\9/3rdNR": "3 6 9 | 5", "6\\9/5thNR": "3 6 9 | 5",
    "m11": "R b3 b7 11 | 5 9", "m11(no5th)": "R b3 b7 11 | 9",
    "6\\9": "R 3 6 9 | 5", "6\\9/6th": "R 3 6 9 | 5", "6\\9/3rd": "R 3 6 9 | 5",
    "6\\9/5th": "R 3 6 9 | 5",
    "9/6/7thNR": "3 6 7 9 | 5",
    "madd9": "R b3 5 9", "add9": "R 3 5 9",
    "majb5": "R 3 b5", "(b5)": "R 3 b5", "(b5)/3rd": "R 3 b5", "(b5)/b5th": "R 3 b5",
    "M7b5": "R 3 b5 7", "M7b5/3rd": "R 3 b5 7", "M7b5/b5th": "R 3 b5 7",
    "M7(+11)": "R 3 7 #11 | 5",
    "13/b7thNR": "3 b7 13 | 5 9", "13/3rdNR": "3 b7 13 | 5 9", "13/13thNR": "3 b7 13 | 5 9",
    "13/9thNR": "3 b7 13 | 5 9",
    "sus4b5": "R 4 b5", "M9(no5th)": "R 3 7 9", "13(no3rd)": "R b7 13 | 5 9 11",
    "M9(no3rd)": "R 7 9 | 5", "sus#4sus2": "R 2 #11 | 5", "M11": "R 7 9 11 | 3 5",
    "6\\9(no5th)": "R 3 6 9", "6\\9/3rd(no5th)": "R 3 6 9",
    "9": "R 3 b7 9 | 5", "9/b7th": "R 3 b7 9 | 5", "9/3rd": "R 3 b7 9 | 5",
    "9/5th": "R 3 b7 9 | 5",
    "9(no3rd)": "R b7 9 | 5", "m/4th": "R b3 4 | 5", "m11(nob7th)": "R b3 11 | 5 9",
    "m9(no5th)": "R b3 b7 9", "7b9(no3rd)": "R b7 b9 | 5", "m6\\9(no5th)": "R b3 6 9",
    "13#9": "R 3 b7 #9 13 | 5", "m13": "R b3 b7 13 | 5 9 11", "7b5b9": "R 3 b5 b7 b9",
    "aug": "R 3 #5",
    "7b9/5thNR": "3 b7 b9 | 5", "7b9/3rdNR": "3 b7 b9 | 5", "7b9/b7thNR": "3 b7 b9 | 5",
    "dim7": "R b3 b5 6", "dim7/b3rd": "R b3 b5 6",
    "M7#5": "R 3 #5 7", "M7#5/3rd": "R 3 #5 7", "M7#5/#5": "R 3 #5 7",
    "13(+11)/b7thNR": "3 b7 #11 13 | 9",
    "mM7": "R b3 5 7", "mM7/b3rd": "R b3 5 7", "mM7/5th": "R b3 5 7", "mM7/7th": "R b3 5 7",
    "mM7(no5th)": "R b3 7",
    "9(+11)/b7NR": "3 b7 9 #11 | 5", "9(+11)/9thNR": "3 b7 9 #11 | 5",
    "9(+11)/+11thNR": "3 b7 9 #11 | 5",
    "7#5": "R 3 #5 b7", "7#5/3rd": "R 3 #5 b7", "7#5/#5th": "R 3 #5 b7",
    "7#5/b7th": "R 3 #5 b7",
    "9b5/b7thNR": "3 b5 b7 9", "9b5/3rdNR": "3 b5 b7 9", "9b5(no3rd)": "R b5 b7 9",
    "7b9(no5th)": "R 3 b7 b9", "7b9": "R 3 b7 b9 | 5", "7b9/b7th": "R 3 b7 b9 | 5",
    "7b9/5th": "R 3 b7 b9 | 5",
    "mM9(no5th)": "R b3 7 9", "mM9": "R b3 7 9 | 5",
    "13b9/b9thNR": "3 b7 b9 13 | 5", "13b9/3rdNR": "3 b7 b9 13 | 5",
    "13b9/b7thNR": "3 b7 b9 13 | 5", "13b9/13thNR": "3 b7 b9 13 | 5",
    "13b9/13th": "R 3 b7 b9 13 | 5", "13b9(no5th)": "R 3 b7 b9 13",
    "7#9/b7thNR": "3 b7 #9 | 5", "7#9/3rdNR": "3 b7 #9 | 5",
    "7#9": "R 3 b7 #9 | 5", "7#9/5th": "R 3 b7 #9 | 5", "7#9(no5th)": "R 3 b7 #9",
    "m7#5": "R b3 #5 b7",
    "11/9th(no5th)": "R b7 9 11", "11(no5th)": "R b7 9 11",
    "9(no5th)": "R 3 b7 9", "9/b7th(no5th)": "R 3 b7 9",
    "13": "R 3 b7 13 | 5 9", "13/13th": "R 3 b7 13 | 5 9", "13/b7th": "R 3 b7 13 | 5 9",
    "13/3rd": "R 3 b7 13 | 5 9", "13(no5th)": "R 3 b7 13 | 9",
    "M9(+11)": "R 3 7 9 #11 | 5",
    "7b5": "R 3 b5 b7", "7b5/b5th": "R 3 b5 b7", "7b5/3rd": "R 3 b5 b7",
    "7b5/b7th": "R 3 b5 b7",
    "9#5/b7thNR": "3 #5 b7 9",
    "13#9/13th": "R 3 b7 #9 13 | 5", "13#9/b7thNR": "3 b7 #9 13 | 5",
    "13#9/3rdNR": "3 b7 #9 13 | 5",
    "m6\\9": "R b3 6 9 | 5", "m11#5(nob7th)": "R b3 #5 11",
    "m9": "R b3 b7 9 | 5", "m9/b3rd": "R b3 b7 9 | 5", "m9/5th": "R b3 b7 9 | 5",
    "m6\\9(addb7)/5thNR": "b3 5 6 b7 9",
    "m11/5th": "R b3 5 b7 11 | 9", "m11#5": "R b3 #5 b7 11 | 9",
    "m7sus": "R b3 4 b7 | 5", "m9sus": "R b3 4 b7 9 | 5",
    "M9": "R 3 7 9 | 5", "M9/3rd": "R 3 7 9 | 5",
    "13sus4": "R 4 b7 13 | 5 9", "M13(+11)": "R 3 7 #11 13 | 5 9",
    "6\\9#11": "R 3 6 9 #11 | 5", "m9#5": "R b3 #5 b7 9",
    "7#5(add5)": "R 3 5 #5 b7", "7#5b9": "R 3 #5 b7 b9", "7#11": "R 3 b7 #11 | 5",
    "7b5#9": "R 3 b5 b7 #9", "7#5#9": "R 3 #5 b7 #9", "9b5": "R 3 b5 b7 9",
    "9#5": "R 3 #5 b7 9", "9#5/9th": "R 3 #5 b7 9",
    "13b5b9/b5thNR": "3 b5 b7 b9 13", "13b5b9/3rdNR": "3 b5 b7 b9 13",
    "7b9(+11)": "R 3 b7 b9 #11 | 5", "maj13#11": "R 3 7 #11 13 | 5 9",
    "maj9#11": "R 3 7 9 #11 | 5", "maj9#11/5th": "R 3 7 9 #11 | 5",
    "M9(+11)/5th": "R 3 7 9 #11 | 5", "maj9add6": "R 3 6 7 9 | 5",
    "6M7#11": "R 3 6 7 #11 | 5 9", "maj7#9#11/5th": "R 3 5 7 #9 #11",
    "9(+11)/5th": "R 3 b7 9 #11 | 5", "7b9#11/5th": "R 3 b7 b9 #11 | 5",
}

BASS_BY_SUFFIX = {"3rd": "3", "b3rd": "b3", "4th": "4", "5th": "5", "b5th": "b5", "#5": "#5",
                  "#5th": "#5", "6th": "6", "b7": "b7", "b7th": "b7", "7th": "7", "9th": "9",
                  "b9th": "b9", "11th": "11", "+11th": "#11", "13th": "13"}


def bass_interval(chord_type):
    if "/" not in chord_type:
        return "R"
    suffix = chord_type.rsplit("/", 1)[1]
    suffix = re.sub(r"NR$|\(no5th\)$|\(nob3rd\)$", "", suffix)
    return BASS_BY_SUFFIX[suffix]


# Entries fixed by hand: fretPattern, fingering, spelling.
FIXED = {
    1: ("x-1-x-3-x-x", "x-1-x-3-x-x", "x-R-x-R-x-x"),
    2: ("1-3-x-x-x-x", "1-3-x-x-x-x", "R-5-x-x-x-x"),
    3: ("x-1-3-3-x-x", "x-1-3-4-x-x", "x-R-5-R-x-x"),
    5: ("x-2-1-4-x-x", "x-2-1-4-x-x", "x-R-3-R-x-x"),
    6: ("1-3-3-2-1-1", "1-3-4-2-1-1", "R-5-R-3-5-R"),
    8: ("4-3-1-1-1-4", "3-2-1-1-1-4", "R-3-5-R-3-R"),
    12: ("x-1-3-3-3-1", "x-1-2-3-4-1", "x-R-5-R-3-5"),
    19: ("3-x-1-3-4-x", "2-x-1-3-4-x", "3-x-R-5-R-x"),
    27: ("1-1-3-3-3-1", "1-1-2-3-4-1", "5-R-5-R-3-5"),
    34: ("x-3-1-5-x-x", "x-2-1-4-x-x", "x-R-b3-R-x-x"),
    35: ("1-3-3-1-1-1", "1-3-4-1-1-1", "R-5-R-b3-5-R"),
    36: ("1-3-3-1-x-x", "1-3-4-1-x-x", "R-5-R-b3-x-x"),
    68: ("1-x-3-x-1-3", "T-x-3-x-1-4", "R-x-R-x-5-2"),
    91: ("1-3-1-2-1-1", "1-3-1-2-1-1", "R-5-b7-3-5-R"),
    93: ("1-3-1-2-x-x", "1-3-1-2-x-x", "R-5-b7-3-x-x"),
    94: ("1-3-1-2-x-x", "1-4-2-3-x-x", "R-5-b7-3-x-x"),
    97: ("1-x-1-2-1-x", "1-x-2-4-3-x", "R-x-b7-3-5-x"),
    98: ("1-x-1-2-1-x", "1-x-2-4-3-x", "R-x-b7-3-5-x"),
    126: ("1-3-2-2-1-1", "1-4-2-3-1-1", "R-5-7-3-5-R"),
    133: ("x-1-3-2-3-x", "x-1-3-2-4-x", "x-b3-b7-9-5-x"),
    164: ("1-3-1-1-1-1", "1-3-1-1-1-1", "R-5-b7-b3-5-R"),
    222: ("1-2-1-1-x-x", "1-2-1-1-x-x", "R-b5-b7-b3-x-x"),
    249: ("x-x-6-4-4-1", "x-x-4-2-3-1", "x-x-R-b3-5-6"),
    261: ("x-x-1-3-2-4", "x-x-1-3-2-4", "x-x-6-3-5-9"),
    304: ("x-2-3-3-4-1", "x-1-2-3-4-1", "x-R-+11-7-3-+11"),
    353: ("3-2-1-x-x-x", "3-2-1-x-x-x", "R-3-#5-x-x-x"),
    361: ("2-3-1-2-x-x", "2-4-1-3-x-x", "R-b5-6-b3-x-x"),
    387: ("1-3-2-1-1-1", "1-3-2-1-1-1", "R-5-7-b3-5-R"),
    507: ("x-6-4-3-1-1", "x-4-3-2-1-1", "x-R-b3-5-6-9"),
    523: ("x-3-1-1-3-3", "x-2-1-1-3-4", "x-5-b7-b3-6-9"),
    602: ("2-2-1-3-2-1", "2-2-1-4-3-1", "5-R-3-7-9-#11"),
    603: ("2-2-1-3-2-1", "T-T-1-4-3-2", "5-R-3-7-9-+11"),
    611: ("2-2-1-2-1-1", "2-2-1-3-1-1", "5-R-3-b7-b9-#11"),
}
TWINS = {98: 97, 561: 560}          # second copy -> first copy, all four fields equal
THUMB_ENTRIES = {68, 225, 451, 517, 575, 589, 603, 610}
PLUS_ELEVEN_ENTRIES = {304, 590, 603, 610}
ALT_PAIR_COUNT = 23                 # pairs differing only in fingering, 93/94 included


def parse_types():
    types = {}
    for first, last, name in re.findall(r'(\d+)(?:-(\d+))? "([^"]*)"', TYPE_RUNS):
        for n in range(int(first), int(last or first) + 1):
            types[n] = name
    assert sorted(types) == list(range(1, 612)), "type runs must cover 1..611"
    return types


class Formula:
    def __init__(self, chord_type):
        text = FORMULAS[chord_type]
        required, _, optional = text.partition("|")
        self.required = required.split()
        self.optional = optional.split()
        self.bass = bass_interval(chord_type)
        names = self.required + self.optional
        self.by_semitone = {}
        for name in names:
            s = SEMITONES[name]
            assert s not in self.by_semitone, (chord_type, name)
            self.by_semitone[s] = name
        assert self.bass in names, (chord_type, self.bass)
        self.bass_semitone = SEMITONES[self.bass]


def marks(pattern):
    return [None if m == "x" else int(m) for m in pattern.split("-")]


def join(values):
    return "-".join("x" if v is None else str(v) for v in values)


# ---- fingering ------------------------------------------------------------------------

def finger_sequences(notes, first_finger, min_fret):
    """Increasing finger numbers for notes sorted by (fret, string); cheapest first."""
    out = []
    for combo in itertools.combinations(range(first_finger, 5), len(notes)):
        cost = sum(abs(f - min(4, 1 + fret - min_fret)) for f, (fret, _) in zip(combo, notes))
        out.append((cost, combo))
    out.sort()
    return out


def fingerings(frets, skip=()):
    """Playable fingerings (cost, list) of the fretted strings not in `skip`, cheapest first:
    finger 1 on the lowest fret (a barre when several strings share it and no muted string
    lies between them), the others rising with the fret, at most four fingers."""
    notes = sorted((f, i) for i, f in enumerate(frets) if f is not None and i not in skip)
    if not notes:
        return []
    min_fret = notes[0][0]
    low = [i for f, i in notes if f == min_fret]
    result = []
    if len(low) >= 2 and all(frets[j] is not None for j in range(low[0], low[-1] + 1)):
        rest = [n for n in notes if n[0] > min_fret]
        for cost, combo in finger_sequences(rest, 2, min_fret):
            fing = [None] * 6
            for i in low:
                fing[i] = 1
            for finger, (_, i) in zip(combo, rest):
                fing[i] = finger
            result.append((cost, fing))
    if len(notes) <= 4:
        for cost, combo in finger_sequences(notes[1:], 2, min_fret):
            fing = [None] * 6
            fing[notes[0][1]] = 1
            for finger, (_, i) in zip(combo, notes[1:]):
                fing[i] = finger
            result.append((cost + 0.5, fing))
    result.sort(key=lambda r: r[0])
    return result


def thumb_fingerings(frets):
    """Fingerings with the thumb on the low E string (and the A string when it is at the
    same fret); the thumb sits at the fingers' lowest fret or one above."""
    if frets[0] is None:
        return []
    skip = {0}
    if frets[1] is not None and frets[1] == frets[0]:
        skip.add(1)
    others = [f for i, f in enumerate(frets) if f is not None and i not in skip]
    if not others or not (min(others) <= frets[0] <= min(others) + 1):
        return []
    out = []
    for cost, fing in fingerings(frets, skip):
        for i in skip:
            fing[i] = "T"
        out.append((cost, fing))
    return out


def fingering_text(fing):
    return join(fing)


# ---- candidate shapes ------------------------------------------------------------------

class Shape:
    __slots__ = ("frets", "pattern", "sounding", "notes", "gaps", "span", "fingerings",
                 "thumbs", "count")


def all_shapes():
    shapes = []
    for frets in itertools.product([None, 1, 2, 3, 4, 5], repeat=6):
        sounding = [i for i, f in enumerate(frets) if f is not None]
        if len(sounding) < 2 or min(frets[i] for i in sounding) != 1:
            continue
        gaps = sum(1 for i in range(sounding[0], sounding[-1] + 1) if frets[i] is None)
        if gaps > 1:
            continue
        notes = [OPEN[i] + frets[i] for i in sounding]
        if len(set(notes)) != len(notes):  # a unison on two strings is wasted
            continue
        fing = fingerings(frets)
        thumbs = thumb_fingerings(frets)
        if not fing and not thumbs:
            continue
        s = Shape()
        s.frets = list(frets)
        s.pattern = join(frets)
        s.sounding = sounding
        s.notes = notes
        s.gaps = gaps
        s.span = max(frets[i] for i in sounding) - 1
        s.fingerings = fing
        s.thumbs = thumbs
        s.count = len(sounding)
        shapes.append(s)
    return shapes


DOUBLING_COST = {"R": 0.5, "5": 1.0, "3": 3.0, "b3": 3.0}


def spell(shape, formula):
    """Spelling of the shape for the formula, or None when it does not fit."""
    bass_pc = shape.notes[0] % 12
    root_pc = (bass_pc - formula.bass_semitone) % 12
    names = []
    for note in shape.notes:
        name = formula.by_semitone.get((note - root_pc) % 12)
        if name is None:
            return None
        names.append(name)
    if names[0] != formula.bass or not set(formula.required) <= set(names):
        return None
    return names


def voicing_cost(shape, names, fing_cost, formula):
    cost = fing_cost
    if "5" in formula.optional and "5" not in names:
        cost += 1.5  # keep the fifth where the type does not ask to drop it
    cost += {0: 0, 1: 0, 2: 0.5, 3: 2.0, 4: 8.0}[shape.span]
    cost += 4.0 * shape.gaps
    for name, n in Counter(names).items():
        if n > 1:
            if n >= 3 and name not in ("R", "5"):
                return None
            cost += DOUBLING_COST.get(name, 4.0) * (n - 1)
    # a close interval at the bottom of the chord sounds muddy
    if shape.notes[1] - shape.notes[0] < 3:
        cost += 3.0
    if len(shape.notes) > 2 and shape.notes[2] - shape.notes[1] < 2:
        cost += 1.0
    return cost


class Candidate:
    def __init__(self, shape, names, cost):
        self.shape = shape
        self.names = names
        self.cost = cost
        self.pattern = shape.pattern
        self.count = shape.count

    def spelling(self):
        out = ["x"] * 6
        for i, name in zip(self.shape.sounding, self.names):
            out[i] = name
        return "-".join(out)


# ---- selection -------------------------------------------------------------------------

class Unit:
    """One entry to fill (its copies, if any, follow it)."""

    def __init__(self, n, chord_type):
        self.n = n
        self.type = chord_type
        self.copies = []          # entries that repeat this voicing (twin or alt fingering)
        self.alt = None           # entry number whose fingering differs
        self.thumb = n in THUMB_ENTRIES
        self.choice = None
        self.options = []

    @property
    def weight(self):
        return 1 + len(self.copies)


def choose_alt_pairs(types, free, shapes):
    """Pairs of neighbouring entries of one type that show one shape with two fingerings:
    one pair in each of the runs whose best two-fingering shape is cheapest."""
    ranked = []
    n = 1
    while n <= 611:
        m = n
        while m + 1 <= 611 and types[m + 1] == types[n]:
            m += 1
        eligible = [k for k in range(n, m + 1) if k in free]
        pair = next(((a, b) for a, b in zip(eligible[1:], eligible[2:]) if b == a + 1), None)
        if pair and len(eligible) >= 3:
            probe = Unit(pair[0], types[n])
            probe.alt = pair[1]
            options = option_list(probe, build_candidates(shapes, types[n]), Formula(types[n]))
            if len(options) >= len(eligible):
                # rank by the shape the pair would likely get once its neighbours have chosen
                ranked.append((options[min(2, len(options) - 1)].cost, -len(eligible), pair))
        n = m + 1
    ranked.sort()
    pairs = sorted(pair for _, _, pair in ranked[:ALT_PAIR_COUNT - 1])
    assert len(pairs) == ALT_PAIR_COUNT - 1, len(pairs)
    return pairs


def build_candidates(shapes, chord_type):
    formula = Formula(chord_type)
    out = []
    for shape in shapes:
        names = spell(shape, formula)
        if names is None:
            continue
        out.append((shape, names))
    return out


def option_list(unit, raw, formula, needed=1):
    options = []
    for shape, names in raw:
        if unit.n == 4:
            if shape.count != 2:
                continue
        elif shape.count < 3:
            continue
        if unit.thumb:
            if not shape.thumbs:
                continue
            fing_cost = shape.thumbs[0][0] - (2.0 if not shape.fingerings else 0.0)
        elif unit.alt is not None:
            if len(shape.fingerings) < 2:
                continue
            fing_cost = shape.fingerings[0][0] + shape.fingerings[1][0]
        else:
            if not shape.fingerings:
                continue
            fing_cost = shape.fingerings[0][0]
        cost = voicing_cost(shape, names, fing_cost, formula)
        if cost is None:
            continue
        options.append(Candidate(shape, names, cost))
    options.sort(key=lambda c: (c.cost, c.pattern))
    # A five-fret stretch only where the type has too few easier shapes.
    easier = [c for c in options if c.shape.span < 4]
    if len(easier) >= needed + 4:
        options = easier
    return options


def select(types, shapes):
    fixed = dict(FIXED)
    free = [n for n in range(1, 612)
            if n not in fixed and n not in TWINS and n not in TWINS.values()
            and n not in THUMB_ENTRIES and n not in PLUS_ELEVEN_ENTRIES]
    pairs = choose_alt_pairs(types, set(free), shapes)
    units = {}
    for n in range(1, 612):
        if n in fixed or n in TWINS:
            continue
        units[n] = Unit(n, types[n])
    for second, first in TWINS.items():
        if first in units:
            units[first].copies.append(second)
    for a, b in pairs:
        units[a].copies.append(b)
        units[a].alt = b
        del units[b]

    raw_by_type = {}
    needed = Counter(types[n] for n in range(1, 612))
    used = defaultdict(set)       # chordType -> fret patterns in use
    hist = Counter()
    for n, (pattern, _, _) in fixed.items():
        used[types[n]].add(pattern)
        hist[sum(1 for m in pattern.split("-") if m != "x")] += 1
    by_pattern_entry = {n: fixed[n][0] for n in fixed}

    for n in sorted(units):
        unit = units[n]
        if unit.type not in raw_by_type:
            raw_by_type[unit.type] = build_candidates(shapes, unit.type)
        unit.options = option_list(unit, raw_by_type[unit.type], Formula(unit.type),
                                   needed[unit.type])
        if not unit.options:
            sys.exit(f"no voicing for entry {n} {unit.type!r}")

    def assign(prices):
        """Each unit in entry order takes its cheapest unused voicing, string counts priced."""
        taken = defaultdict(set, {t: set(p) for t, p in fixed_used.items()})
        shapes_at = dict(fixed_patterns)
        counts = Counter(fixed_hist)
        for n in sorted(units):
            unit = units[n]
            best = None
            for cand in unit.options:
                if cand.pattern in taken[unit.type]:
                    continue
                cost = cand.cost + prices[cand.count]
                for k in (n - 1, n + 1):
                    if shapes_at.get(k) == cand.pattern:
                        cost -= 2.0   # shares its neighbour's shape, as the list groups them
                if best is None or cost < best[0]:
                    best = (cost, cand)
            if best is None:
                sys.exit(f"too few voicings for {unit.type!r}")
            unit.choice = best[1]
            taken[unit.type].add(unit.choice.pattern)
            shapes_at[n] = unit.choice.pattern
            for c in unit.copies:
                shapes_at[c] = unit.choice.pattern
            counts[unit.choice.count] += unit.weight
        return taken, counts

    fixed_used = {t: set(p) for t, p in used.items()}
    fixed_patterns = dict(by_pattern_entry)
    fixed_hist = Counter(hist)
    prices = {c: 0.0 for c in STRING_COUNT_TARGET}
    best_seen = None
    for step in range(300):
        used, hist = assign(prices)
        deviation = sum(abs(hist[c] - STRING_COUNT_TARGET[c]) for c in STRING_COUNT_TARGET)
        if best_seen is None or deviation < best_seen[0]:
            best_seen = (deviation, dict(prices))
        if deviation == 0:
            break
        for c in STRING_COUNT_TARGET:
            prices[c] += 0.02 * (hist[c] - STRING_COUNT_TARGET[c])
    used, hist = assign(best_seen[1])

    # Move single voicings (or a chain of two) between string counts until the counts meet
    # their targets, each step the cheapest that helps.
    def best_moves():
        table = {}
        for unit in units.values():
            if unit.weight != 1:
                continue
            for cand in unit.options:
                if cand.count == unit.choice.count or cand.pattern in used[unit.type]:
                    continue
                key = (unit.choice.count, cand.count)
                delta = cand.cost - unit.choice.cost
                if key not in table or delta < table[key][0]:
                    table[key] = (delta, unit, cand)
        return table

    for _ in range(500):
        over = [c for c in STRING_COUNT_TARGET if hist[c] > STRING_COUNT_TARGET[c]]
        under = [c for c in STRING_COUNT_TARGET if hist[c] < STRING_COUNT_TARGET[c]]
        if not over:
            break
        table = best_moves()
        plans = []
        for a in over:
            for b in under:
                if (a, b) in table:
                    plans.append((table[(a, b)][0], [table[(a, b)]]))
                for m in STRING_COUNT_TARGET:
                    first, second = table.get((a, m)), table.get((m, b))
                    if first and second and first[1] is not second[1] and \
                            not (first[1].type == second[1].type and
                                 first[2].pattern == second[2].pattern):
                        plans.append((first[0] + second[0], [first, second]))
        if not plans:
            sys.exit(f"cannot meet string counts: {dict(hist)}")
        plans.sort(key=lambda p: p[0])
        for _, unit, cand in plans[0][1]:
            used[unit.type].discard(unit.choice.pattern)
            used[unit.type].add(cand.pattern)
            hist[unit.choice.count] -= 1
            hist[cand.count] += 1
            unit.choice = cand
    return fixed, units, hist


def build_rows():
    types = parse_types()
    shapes = all_shapes()
    fixed, units, hist = select(types, shapes)
    rows = {}
    for n, (pattern, fingering, spelling) in fixed.items():
        rows[n] = (pattern, fingering, spelling, types[n])
    for n, unit in units.items():
        cand = unit.choice
        spelling = cand.spelling()
        if n in PLUS_ELEVEN_ENTRIES:
            spelling = spelling.replace("#11", "+11")
        if unit.thumb:
            fing = fingering_text(cand.shape.thumbs[0][1])
        else:
            fing = fingering_text(cand.shape.fingerings[0][1])
        rows[n] = (cand.pattern, fing, spelling, unit.type)
        for c in unit.copies:
            if c == unit.alt:
                rows[c] = (cand.pattern, fingering_text(cand.shape.fingerings[1][1]), spelling,
                           unit.type)
            else:
                rows[c] = rows[n]
    for second, first in TWINS.items():
        rows[second] = rows[first]
    assert sorted(rows) == list(range(1, 612))
    return rows, hist, units


def cpp_string(text):
    return '"' + text.replace("\\", "\\\\") + '"'


def write_cpp(rows, path):
    lines = ['#include "catalogue/ChordCatalogue.h"', "",
             "// The built-in voicings, entry n in row n: {fretPattern, fingering, spelling,",
             "// chordType}. Generated by tools/generate_catalogue.py, then reviewed by hand.",
             "extern const ChordEntry chordCatalogueRows[ChordCatalogue::entryCount];",
             "const ChordEntry chordCatalogueRows[ChordCatalogue::entryCount] = {"]
    for n in range(1, 612):
        if n % 10 == 1:
            lines.append(f"    // {n}")
        lines.append("    {" + ", ".join(cpp_string(f) for f in rows[n]) + "},")
    lines.append("};")
    path.write_text("\n".join(lines) + "\n")


def main():
    rows, hist, units = build_rows()
    print("string counts:", dict(sorted(hist.items())))
    if "--costs" in sys.argv:
        for n, unit in sorted(units.items(), key=lambda kv: -kv[1].choice.cost)[:60]:
            best = unit.options[0]
            print(n, unit.type, rows[n][0], rows[n][2], round(unit.choice.cost, 1),
                  "best:", best.pattern, round(best.cost, 1))
    if "--check" in sys.argv or "--costs" in sys.argv:
        return
    root = Path(__file__).resolve().parent.parent
    write_cpp(rows, root / "src" / "catalogue" / "ChordCatalogueData.cpp")
    print("wrote src/catalogue/ChordCatalogueData.cpp")


if __name__ == "__main__":
    main()
