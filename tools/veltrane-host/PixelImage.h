#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An opaque picture, one 0xRRGGBB value per pixel, row after row: what a window shows.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// PNG files through cairo; false with a reason when the file cannot be written or read.
bool writePng(const PixelImage& image, const std::string& path, std::string& error);
bool readPng(const std::string& path, PixelImage& image, std::string& error);
