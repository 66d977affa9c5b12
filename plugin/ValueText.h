#pragma once

// Number-to-text converters for parameter displays and the editor's read-outs. Each writes a
// NUL-terminated text into the caller's buffer: at most 8 characters of number and 3 of unit
// (12 bytes in all), 16 bytes for smpStringConvert.

// The number formatter: rounds half away from zero with a 0.49999 threshold, fits sign,
// digits and point into 8 characters, then keeps `precision` decimals (all 8 characters when
// negative, none and no point when 0). Numbers beyond the budget read "Huge!".
void float2string2(float value, int precision, char* text);

// A linear gain factor in dB at 6 dB per doubling; "-oodB" for 0 and below.
void dB2string2(float gain, int precision, char* text);

// Hz below 1000 Hz, kHz from there, precision chosen by size.
void frequencyStringConvert2(float hz, char* text);

// Milliseconds, or seconds from 1000 ms on.
void msStringConvert(float ms, char* text);

// A sample count: "64smps"; "0smps" below one sample.
void smpStringConvert(float samples, char* text);
