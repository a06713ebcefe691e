#!/usr/bin/env python3
"""Generates src/catalogue/ChordCatalogueData.cpp, the built-in table of 611 chord voicings.

Run from the repository root:  python3 tools/generate_catalogue.py [--check]
It revises the table as it stands. Every entry that meets the rules keeps its row; the
others are re-authored: the generator enumerates every shape within five relative frets,
keeps those that spell the chord type's formula and can be fingered within the hand's reach,
scores them (stretch, gaps, doublings, muddy bass) and gives the entry the best free one,
then trades string counts between entries until the required totals hold. The rules: each
finger stops one fret, within the reach of FINGER_REACH; a barre lies only over strings
stopped at or above its fret; the thumb frets one string, the low E or the A; no two chord
types show the same frets on the same root; a #9 sounds above the major third and a #11
above the third and seventh wherever a playable shape allows it; the standard shapes of
STANDARD_SHAPES are present. The product's own entries (TELLING) are kept as written.
Every rule an entry still breaks is proven unavoidable by an exhaustive search and printed;
the table is not written otherwise. The result is deterministic and a fixed point (a second
run changes nothing); review the diff of the C++ table by hand. --check prints the changes
and the proofs without writing.
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
    # without its fifth a minor(b6) is the major triad a sixth up, over its third
    "minb6": "R b3 5 b6", "m(b6)": "R b3 5 b6",
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
    # with a ninth it would be a maj13#11
    "6M7#11": "R 3 6 7 #11 | 5", "maj7#9#11/5th": "R 3 5 7 #9 #11",
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


# ---- the teacher's rules ---------------------------------------------------------------

# The widest stretch, in frets, between two fretting fingers (1 index .. 4 little finger).
FINGER_REACH = {(1, 2): 2, (1, 3): 3, (1, 4): 4, (2, 3): 2, (2, 4): 3, (3, 4): 2}
THUMB_STRINGS = (0, 1)  # the thumb frets one string, the low E or the A
# The product's own entries: kept exactly as written, so the rules do not judge them.
TELLING = {1, 2, 3, 5, 6, 8, 12, 19, 27, 34, 35, 68, 91, 97, 98, 126, 133, 164, 222, 249,
           261, 304, 353, 361, 387, 507, 523, 602, 603, 611}
# Entries the review keeps out of string-count trades: their shapes are the standard grips
# and every trade on offer put the hand in a worse position.
NO_TRADE = {18, 72, 125, 215, 265, 327, 329, 545}
# The most taught barre shapes, and the entries that carry them.
STANDARD_SHAPES = {40: "x-1-3-3-2-1", 542: "x-2-1-2-2-2"}  # A-shape minor, A-root ninth
# Shapes the review picked from the generator's options for re-authored entries, where its
# cheapest choice was a grip a teacher would not hand out (stacked barres, a 5-fret reach
# with a semitone in the bass, a finger barring at the index's own fret).
REVIEWED_SHAPES = {
    150: "x-3-1-1-1-3",   # m(b6): its old grip with the fifth added on top
    346: "2-1-2-2-4-x",   # 13#9: the E-root 7#9 grip with the 13 on the B string
    349: "1-x-4-4-4-5",   # 7b5b9: its old shape is the only one lifting 591's #11
    516: "x-3-1-3-3-3",   # m9: the A-shape minor ninth
    518: "1-3-1-1-x-3",   # m9: the E-shape m7 barre with the 9 on top
    540: "2-1-3-1-2-x",   # M9: the E-shape major ninth
    544: "2-1-2-1-2-x",   # 9: the E-shape ninth
}
PICKED_SHAPES = {**STANDARD_SHAPES, **REVIEWED_SHAPES}
# A tension sounds above the chord tones it colours: a #9 under the major third is heard as
# a minor third against it, a #11 under the third or seventh as a flat fifth.
TENSION_RULES = [
    ({"#9"}, {"3"}, lambda chord_type: True),
    ({"#11", "+11"}, {"3", "7", "b7"}, lambda chord_type: "#11" in chord_type or "+11" in chord_type),
]


def reach_faults(frets, fing):
    """Why a fingering (marks: 1..4, "T", None for strings still to finger) cannot be
    played as written; empty when it can."""
    faults = []
    frets_of = defaultdict(set)
    strings_of = defaultdict(list)
    thumbs = 0
    for i, (fret, finger) in enumerate(zip(frets, fing)):
        if fret is None or finger is None:
            continue
        if finger == "T":
            thumbs += 1
            if i not in THUMB_STRINGS:
                faults.append(f"thumb on string {i}")
            continue
        frets_of[finger].add(fret)
        strings_of[finger].append(i)
    if thumbs > 1:
        faults.append(f"thumb over {thumbs} strings")
    for finger, fs in frets_of.items():
        if len(fs) > 1:
            faults.append(f"finger {finger} on {len(fs)} frets")
    for (a, b), limit in FINGER_REACH.items():
        if a in frets_of and b in frets_of:
            span = max(abs(x - y) for x in frets_of[a] for y in frets_of[b])
            if span > limit:
                faults.append(f"fingers {a}-{b} span {span} frets")
    for finger, strings in strings_of.items():
        if len(strings) < 2:
            continue
        barre = min(frets_of[finger])
        for i in range(min(strings), max(strings) + 1):
            if frets[i] is None or frets[i] < barre:
                faults.append(f"barre of finger {finger} over string {i}")
    return faults


LOW_TENSION_COST = 50.0
KEEP_BONUS = 3.0
COUNT_CHANGE_COST = 2.5   # a re-authored entry keeps its string count where it can
NEW_GRIP_COST = 6.0


def tensions_on_top(notes, names, chord_type):
    """True when every tension the rules name sounds above the chord tones it colours. The
    bass of a slash chord is the note the name asks for and is not judged."""
    start = 1 if "/" in chord_type else 0
    for tension, tones, applies in TENSION_RULES:
        if not applies(chord_type):
            continue
        high = [n for n, m in list(zip(notes, names))[start:] if m in tension]
        low = [n for n, m in zip(notes, names) if m in tones]
        if high and low and min(high) < max(low):
            return False
    return True


# ---- fingering ------------------------------------------------------------------------

def fingering_cost(frets, fing, min_fret):
    cost = 0.0
    for fret, finger in zip(frets, fing):
        if isinstance(finger, int):
            cost += abs(finger - min(4, 1 + fret - min_fret))
    # a barre by another finger than the index is harder, the more so the further it lies
    # above the index
    for finger in {f for f in fing if isinstance(f, int) and f != 1}:
        barred = [fret for fret, f in zip(frets, fing) if f == finger]
        if len(barred) > 1:
            cost += 1.5 + 2.0 * max(0, barred[0] - min_fret - 1)
    return cost


def fingerings(frets, skip=()):
    """Every playable fingering (cost, list) of the fretted strings not in `skip`, cheapest
    first: fingers rise with the fret (and across a fret with the string), each finger stops
    one fret, within the reach limits; the index may barre over higher frets, another finger
    only over neighbouring strings at its own fret."""
    notes = sorted((f, i) for i, f in enumerate(frets) if f is not None and i not in skip)
    if not notes:
        return []
    min_fret = notes[0][0]
    fing = [None] * 6
    found = []

    def place(k, last_finger, last_fret):
        if k == len(notes):
            if reach_faults(frets, fing):
                return
            for finger in set(f for f in fing if f not in (None, 1)):
                strings = [i for i in range(6) if fing[i] == finger]
                if strings[-1] - strings[0] + 1 != len(strings):
                    return
            found.append((fingering_cost(frets, fing, min_fret), list(fing)))
            return
        fret, i = notes[k]
        if last_finger and last_fret == fret:
            fing[i] = last_finger
            place(k + 1, last_finger, fret)
        for finger in range(last_finger + 1, 5):
            fing[i] = finger
            place(k + 1, finger, fret)
        fing[i] = None

    place(0, 0, None)
    found.sort(key=lambda r: (r[0], join(r[1])))
    return found


def thumb_fingerings(frets):
    """Fingerings with the thumb on one string, the low E (the A when the low E is not
    played); the thumb sits at the fingers' lowest fret or one above."""
    string = next((i for i in THUMB_STRINGS if frets[i] is not None), None)
    if string is None or any(frets[i] is not None for i in range(string)):
        return []
    others = [f for i, f in enumerate(frets) if f is not None and i != string]
    if not others or not (min(others) <= frets[string] <= min(others) + 1):
        return []
    out = []
    for cost, fing in fingerings(frets, {string}):
        fing[string] = "T"
        out.append((cost, fing))
    return out


def fingering_text(fing):
    return join(fing)


def parse_fingering(text):
    return [None if m == "x" else m if m == "T" else int(m) for m in text.split("-")]


# ---- candidate shapes ------------------------------------------------------------------

class Shape:
    __slots__ = ("frets", "pattern", "sounding", "notes", "gaps", "span", "count", "_fing",
                 "_thumbs")

    @property
    def fingerings(self):
        if self._fing is None:
            self._fing = fingerings(self.frets)
        return self._fing

    @property
    def thumbs(self):
        if self._thumbs is None:
            self._thumbs = thumb_fingerings(self.frets)
        return self._thumbs


def make_shape(frets):
    sounding = [i for i, f in enumerate(frets) if f is not None]
    s = Shape()
    s.frets = list(frets)
    s.pattern = join(frets)
    s.sounding = sounding
    s.notes = [OPEN[i] + frets[i] for i in sounding]
    s.gaps = sum(1 for i in range(sounding[0], sounding[-1] + 1) if frets[i] is None)
    s.span = max(frets[i] for i in sounding) - 1
    s.count = len(sounding)
    s._fing = None
    s._thumbs = None
    return s


def all_shapes(everything=False):
    """Every shape within frets 1..5 with its lowest fret at 1. Unless `everything` is asked
    for (the exhaustive search that proves an exception), shapes with two muted strings
    inside them or a unison on two strings are left out: they waste a string."""
    shapes = []
    for frets in itertools.product([None, 1, 2, 3, 4, 5], repeat=6):
        sounding = [i for i, f in enumerate(frets) if f is not None]
        if len(sounding) < 2 or min(frets[i] for i in sounding) != 1:
            continue
        shape = make_shape(frets)
        if not everything:
            if shape.gaps > 1 or len(set(shape.notes)) != len(shape.notes):
                continue
        shapes.append(shape)
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
        self.key = (shape.pattern, names[0])   # the same frets on the same root

    def spelling(self):
        out = ["x"] * 6
        for i, name in zip(self.shape.sounding, self.names):
            out[i] = name
        return "-".join(out)


def build_candidates(shapes, chord_type):
    formula = Formula(chord_type)
    out = []
    for shape in shapes:
        names = spell(shape, formula)
        if names is not None:
            out.append((shape, names))
    return out


def playable(shape, thumb, alt=False):
    if thumb:
        return bool(shape.thumbs)
    return len(shape.fingerings) >= (2 if alt else 1)


# ---- the previous edition --------------------------------------------------------------

DATA_FILE = Path(__file__).resolve().parent.parent / "src" / "catalogue" / "ChordCatalogueData.cpp"


def read_previous():
    """The table as it stands: entry -> (fretPattern, fingering, spelling, chordType)."""
    text = DATA_FILE.read_text()
    rows = re.findall(r'\{"([^"]*)", "([^"]*)", "([^"]*)", "((?:[^"\\]|\\.)*)"\},', text)
    assert len(rows) == 611, len(rows)
    return {n: (a, b, c, d.replace("\\\\", "\\")) for n, (a, b, c, d) in enumerate(rows, 1)}


def row_shape(row):
    return make_shape(tuple(marks(row[0])))


def row_names(row):
    return [m for m in row[2].replace("+11", "#11").split("-") if m != "x"]


def row_faults(n, row, types):
    """The rules an entry of the table breaks (telling entries are not judged)."""
    if n in TELLING:
        return []
    shape = row_shape(row)
    faults = reach_faults(shape.frets, parse_fingering(row[1]))
    if spell(shape, Formula(types[n])) is None:
        faults.append("does not fit its formula")
    if not tensions_on_top(shape.notes, row_names(row), types[n]):
        faults.append("tension under a chord tone")
    if n in STANDARD_SHAPES and row[0] != STANDARD_SHAPES[n]:
        faults.append("carries a standard shape")
    if n in REVIEWED_SHAPES and row[0] != REVIEWED_SHAPES[n]:
        faults.append("shape picked in review")
    return faults


def shared_shapes(rows):
    """Groups of entries with the same frets on the same root under different types."""
    groups = defaultdict(list)
    for n, row in rows.items():
        groups[(row[0], row_names(row)[0])].append(n)
    return {k: v for k, v in groups.items() if len({rows[n][3] for n in v}) > 1}


# ---- selection -------------------------------------------------------------------------

class Unit:
    """One entry to re-author (its copies, if any, follow it)."""

    def __init__(self, n, chord_type, previous):
        self.n = n
        self.type = chord_type
        self.copies = []          # entries that repeat this voicing (twin or alt fingering)
        self.alt = None           # entry number whose fingering differs
        self.thumb = n in THUMB_ENTRIES
        self.previous = previous  # its fret pattern before, kept when it still may be
        self.choice = None
        self.options = []

    @property
    def weight(self):
        return 1 + len(self.copies)


def option_list(unit, raw, formula):
    """The voicings an entry may take, cheapest first."""
    options = []
    for shape, names in raw:
        if shape.count < 3:
            continue
        if unit.n in PICKED_SHAPES and shape.pattern != PICKED_SHAPES[unit.n]:
            continue
        if not playable(shape, unit.thumb, unit.alt is not None):
            continue
        if unit.thumb:
            fing_cost = shape.thumbs[0][0] - (2.0 if not shape.fingerings else 0.0)
        elif unit.alt is not None:
            fing_cost = shape.fingerings[0][0] + shape.fingerings[1][0]
        else:
            fing_cost = shape.fingerings[0][0]
        cost = voicing_cost(shape, names, fing_cost, formula)
        if cost is None:
            continue
        if shape.pattern == unit.previous:
            cost -= KEEP_BONUS   # a shape users know stays where the rules allow it
        elif unit.previous:
            before = sum(1 for m in unit.previous.split("-") if m != "x")
            cost += COUNT_CHANGE_COST * abs(shape.count - before)
        options.append(Candidate(shape, names, cost))

    def easier(group):
        # a five-fret stretch only where the type has too few easier shapes
        short = [c for c in group if c.shape.span < 4]
        return short if len(short) >= 5 else group

    # A shape with a low tension stays only as the last resort, for when every shape that
    # lifts it is taken.
    lifting = [c for c in options if tensions_on_top(c.shape.notes, c.names, unit.type)]
    if lifting:
        low = easier([c for c in options if c not in lifting])
        for c in low:
            c.cost += LOW_TENSION_COST
        options = easier(lifting) + low
    else:
        options = easier(options)
    options.sort(key=lambda c: (c.cost, c.pattern))
    return options


def plan_revision(types, previous, shapes):
    """Which entries keep their row and which are re-authored, and why."""
    why = {}
    for n, row in previous.items():
        faults = row_faults(n, row, types)
        if faults:
            # a low tension that no playable shape of the type lifts is an exception
            if faults == ["tension under a chord tone"]:
                raw = build_candidates(shapes, types[n])
                if not any(tensions_on_top(s.notes, names, types[n]) and
                           playable(s, n in THUMB_ENTRIES) for s, names in raw):
                    continue
            why[n] = faults
    kept = {n: row for n, row in previous.items() if n not in why}
    for key, group in sorted(shared_shapes(kept).items()):
        # keep the product's own entry, else one that has nowhere else to go, else the one
        # whose type the shape spells best
        def rank(n):
            shape = row_shape(previous[n])
            formula = Formula(types[n])
            cost = voicing_cost(shape, spell(shape, formula), 0.0, formula)
            return (n not in TELLING, has_alternative(n), cost, n)

        def has_alternative(n):
            taken = {r[0] for m, r in previous.items() if types[m] == types[n]}
            raw = [(s, names) for s, names in build_candidates(shapes, types[n])
                   if s.count >= 3 and s.pattern not in taken and playable(s, n in THUMB_ENTRIES)]
            lifting = [(s, names) for s, names in raw if tensions_on_top(s.notes, names, types[n])]
            here = tensions_on_top(shape_notes(n), row_names(previous[n]), types[n])
            return bool(lifting if here or lifting else raw)

        def shape_notes(n):
            return row_shape(previous[n]).notes
        keep = min(group, key=rank)
        for n in group:
            if types[n] != types[keep] and n not in TELLING:
                why[n] = [f"same frets and root as {keep} \"{types[keep]}\""]
    return why


def same_grip(before, after):
    """True when `after` is `before` with strings left out or added below or above the
    strings both sound, the common strings at the same frets."""
    common = [i for i in range(6) if before[i] is not None and after[i] is not None]
    if not common or any(before[i] != after[i] for i in common):
        return False
    return all(i < common[0] or i > common[-1] for i in range(6)
               if (before[i] is None) != (after[i] is None))


def inherited_fingering(before_pattern, before_fingering, after):
    """The old fingering on a traded grip's remaining strings, when it still plays."""
    before = marks(before_pattern)
    fing = parse_fingering(before_fingering)
    if not same_grip(before, after) or \
            any(after[i] is not None and before[i] is None for i in range(6)):
        return None
    kept = [fing[i] if after[i] is not None else None for i in range(6)]
    return None if reach_faults(after, kept) else fingering_text(kept)


def select(types, shapes, previous):
    why = plan_revision(types, previous, shapes)
    # a released entry takes its twin or its other fingering along
    pairs = {}
    for n in range(1, 611):
        a, b = previous[n], previous[n + 1]
        if a[0] == b[0] and a[2] == b[2] and a[3] == b[3]:
            pairs[n] = n + 1
    for a, b in list(pairs.items()):
        if a in why or b in why:
            why.setdefault(a, why.get(b))
            why.setdefault(b, why.get(a))
    fixed = {n: previous[n][:3] for n in previous if n not in why}
    units = {}
    for n in sorted(why):
        if any(pairs.get(m) == n for m in why):
            continue
        unit = Unit(n, types[n], previous[n][0])
        if n in pairs:
            unit.copies.append(pairs[n])
            if previous[n][1] != previous[pairs[n]][1]:
                unit.alt = pairs[n]
        units[n] = unit

    raw_by_type = {}
    for n, unit in units.items():
        if unit.type not in raw_by_type:
            raw_by_type[unit.type] = build_candidates(shapes, unit.type)
        unit.options = option_list(unit, raw_by_type[unit.type], Formula(unit.type))
        if not unit.options:
            sys.exit(f"no voicing for entry {n} {unit.type!r}")

    fixed_hist = Counter(sum(1 for m in p.split("-") if m != "x") for p, _, _ in fixed.values())
    fixed_used = defaultdict(set)
    fixed_keys = {}
    for n, (pattern, _, spelling) in fixed.items():
        fixed_used[types[n]].add(pattern)
        bass = next(m for m in spelling.replace("+11", "#11").split("-") if m != "x")
        fixed_keys.setdefault((pattern, bass), set()).add(types[n])

    def free(cand, unit, used, keys):
        if cand.pattern in used[unit.type]:
            return False
        return not (keys.get(cand.key, set()) - {unit.type})

    def assign(prices):
        """Each unit in entry order takes its cheapest free voicing, string counts priced."""
        used = defaultdict(set, {t: set(p) for t, p in fixed_used.items()})
        keys = {k: set(v) for k, v in fixed_keys.items()}
        counts = Counter(fixed_hist)
        for n in sorted(units):
            unit = units[n]
            best = None
            for cand in unit.options:
                if not free(cand, unit, used, keys):
                    continue
                cost = cand.cost + prices[cand.count]
                if best is None or cost < best[0]:
                    best = (cost, cand)
            if best is None:
                sys.exit(f"no free voicing for entry {n} {unit.type!r}")
            unit.choice = best[1]
            used[unit.type].add(unit.choice.pattern)
            keys.setdefault(unit.choice.key, set()).add(unit.type)
            counts[unit.choice.count] += unit.weight
        return used, keys, counts

    used, keys, hist = assign({c: 0.0 for c in STRING_COUNT_TARGET})

    # Entries kept as they were may trade their string count too, when the counts need it
    # and no re-authored entry can give it more cheaply: each starts from its own shape,
    # which carries the keeping bonus, so a trade pays for disturbing it.
    movable = {}
    for n in fixed:
        if n in TELLING or n in pairs or n in pairs.values() or n in THUMB_ENTRIES or \
                n in PLUS_ELEVEN_ENTRIES or n in PICKED_SHAPES or n in NO_TRADE or n == 4:
            continue
        unit = Unit(n, types[n], previous[n][0])
        if unit.type not in raw_by_type:
            raw_by_type[unit.type] = build_candidates(shapes, unit.type)
        unit.options = option_list(unit, raw_by_type[unit.type], Formula(unit.type))
        # a trade adds no muted string inside the chord, and rather keeps the grip, only
        # leaving out or adding strings at the edges
        gaps = row_shape(previous[n]).gaps
        unit.options = [c for c in unit.options if c.shape.gaps <= gaps]
        for c in unit.options:
            if c.pattern != previous[n][0] and not same_grip(marks(previous[n][0]), c.shape.frets):
                c.cost += NEW_GRIP_COST
        # nor does it take a shape its type showed in another entry before
        shown = {previous[m][0] for m in previous if types[m] == types[n] and m != n}
        unit.options = [c for c in unit.options if c.pattern not in shown]
        unit.choice = next((c for c in unit.options if c.pattern == previous[n][0]), None)
        if unit.choice is not None:
            movable[n] = unit

    # Move single voicings (or a chain of two) between string counts until the counts meet
    # their targets, each step the cheapest that helps.
    def best_moves():
        table = {}
        for unit in list(units.values()) + list(movable.values()):
            if unit.weight != 1:
                continue
            for cand in unit.options:
                if cand.count == unit.choice.count or not free(cand, unit, used, keys):
                    continue
                key = (unit.choice.count, cand.count)
                delta = cand.cost - unit.choice.cost
                if delta >= LOW_TENSION_COST / 2:
                    continue   # never trade a tension on top for a low one
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
                            first[2].key != second[2].key:
                        plans.append((first[0] + second[0], [first, second]))
        if not plans:
            sys.exit(f"cannot meet string counts: {dict(hist)}")
        plans.sort(key=lambda p: p[0])
        for _, unit, cand in plans[0][1]:
            used[unit.type].discard(unit.choice.pattern)
            keys[unit.choice.key].discard(unit.type)
            used[unit.type].add(cand.pattern)
            keys.setdefault(cand.key, set()).add(unit.type)
            hist[unit.choice.count] -= 1
            hist[cand.count] += 1
            if unit.n in movable:
                del movable[unit.n]
                del fixed[unit.n]
                units[unit.n] = unit
                why[unit.n] = [f"traded from {unit.choice.count} to {cand.count} strings "
                               "for the string counts"]
            unit.choice = cand
    return fixed, units, hist, why


def build_rows():
    types = parse_types()
    previous = read_previous()
    shapes = all_shapes()
    fixed, units, hist, why = select(types, shapes, previous)
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
        if why[n] and why[n][0].startswith("traded"):
            fing = inherited_fingering(previous[n][0], previous[n][1], cand.shape.frets) or fing
        rows[n] = (cand.pattern, fing, spelling, unit.type)
        for c in unit.copies:
            if c == unit.alt:
                rows[c] = (cand.pattern, fingering_text(cand.shape.fingerings[1][1]), spelling,
                           unit.type)
            else:
                rows[c] = rows[n]
    assert sorted(rows) == list(range(1, 612))
    return rows, hist, units, previous, why


# ---- proof of the exceptions -----------------------------------------------------------

def prove_exceptions(rows, types):
    """Every rule an entry still breaks, with the exhaustive search over all shapes within
    frets 1..5 (muted strings and unisons anywhere) that shows no free playable shape would
    keep it: for a low tension, every shape of the type (3 to 6 strings) that lifts it is
    held by another entry of the type or by another type on the same root; for a shared
    shape, no other shape of the type and string count is free. Returns the lines to print
    and whether every exception is proven."""
    lines = []
    proven = True
    everything = None
    for n in range(1, 612):
        faults = [f for f in row_faults(n, rows[n], types) if f != "tension under a chord tone"]
        if faults:
            lines.append(f"entry {n} breaks a rule without exception: {faults}")
            proven = False
    low = [n for n in range(1, 612) if n not in TELLING and
           not tensions_on_top(row_shape(rows[n]).notes, row_names(rows[n]), types[n])]
    shared = [g for g in shared_shapes(rows).values() if not set(g) <= TELLING]
    if not low and not shared:
        return lines, proven
    everything = all_shapes(everything=True)
    for n in low:
        fitting = [(s, names) for s, names in build_candidates(everything, types[n])
                   if s.count >= 3 and playable(s, n in THUMB_ENTRIES)]
        bass = row_names(rows[n])[0]
        lifted = [s.pattern for s, names in fitting if tensions_on_top(s.notes, names, types[n])]
        holders = {s: [m for m in rows if rows[m][0] == s and (types[m] == types[n] or
                                                             row_names(rows[m])[0] == bass)]
                   for s in lifted}
        open_ = [s for s in lifted if not holders[s]]
        lines.append(f"entry {n} \"{types[n]}\": {len(fitting)} playable shapes on 3 to 6 "
                     f"strings, {len(lifted)} with the tension on top, held by {holders}; "
                     f"free: {open_}")
        proven = proven and not open_
    for group in shared:
        for n in group:
            count = row_shape(rows[n]).count
            taken = {rows[m][0] for m in rows if types[m] == types[n] and m != n}
            others = {(rows[m][0], row_names(rows[m])[0]) for m in rows if types[m] != types[n]}
            fitting = [(s, names) for s, names in build_candidates(everything, types[n])
                       if s.count == count and playable(s, n in THUMB_ENTRIES)]
            free = [s.pattern for s, names in fitting if s.pattern != rows[n][0] and
                    s.pattern not in taken and (s.pattern, names[0]) not in others]
            lines.append(f"entry {n} \"{types[n]}\" {rows[n][0]} shared by {group}: "
                         f"{len(fitting)} playable shapes on {count} strings, free {free[:5]}")
        proven = False
    return lines, proven


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
    rows, hist, units, previous, why = build_rows()
    print("string counts:", dict(sorted(hist.items())))
    for n in sorted(why):
        if rows[n] != previous[n]:
            print(f"{n} \"{previous[n][3]}\": {' '.join(previous[n][:3])} -> "
                  f"{' '.join(rows[n][:3])}  ({'; '.join(why[n] or [])})")
    lines, proven = prove_exceptions(rows, parse_types())
    for line in lines:
        print(line)
    if "--check" in sys.argv:
        return
    if not proven:
        sys.exit("some rule is broken without a proven exception; table not written")
    write_cpp(rows, DATA_FILE)
    print("wrote src/catalogue/ChordCatalogueData.cpp")


if __name__ == "__main__":
    main()
