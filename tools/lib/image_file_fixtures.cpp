// Image files made in memory for tests, tools and the fuzz corpus.
#include "tools/lib/image_file_fixtures.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>
#include <zlib.h>

namespace {

void Put16(ByteString* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(ByteString* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void Set32(ByteString* out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Append(ByteString* out, const ByteString& more) {
  out->insert(out->end(), more.begin(), more.end());
}

}  // namespace

ByteString PackDibRows(const std::vector<std::vector<uint32_t>>& rows, int bits, bool topDown) {
  if (rows.empty()) return {};
  const size_t width = rows[0].size();
  const size_t stride = (width * bits + 31) / 32 * 4;
  ByteString out(stride * rows.size(), 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    uint8_t* row = out.data() + (topDown ? r : rows.size() - 1 - r) * stride;
    for (size_t x = 0; x < width; ++x) {
      const uint32_t v = rows[r][x];
      if (bits < 8) {
        const size_t bit = x * bits;
        row[bit / 8] |= static_cast<uint8_t>(v << (8 - bits - bit % 8));
      } else {
        for (int b = 0; b < bits / 8; ++b)
          row[x * (bits / 8) + b] = static_cast<uint8_t>(v >> (8 * b));
      }
    }
  }
  return out;
}

ByteString MakeBmpFile(const BmpFileLayout& layout, const ByteString& pixelData) {
  ByteString info;
  Put32(&info, layout.headerSize);
  Put32(&info, static_cast<uint32_t>(layout.width));
  Put32(&info, static_cast<uint32_t>(layout.height));
  Put16(&info, 1);
  Put16(&info, layout.bitCount);
  Put32(&info, layout.compression);
  Put32(&info, static_cast<uint32_t>(pixelData.size()));
  Put32(&info, 2835);
  Put32(&info, 2835);
  Put32(&info, layout.colorsUsed);
  Put32(&info, 0);
  const bool masksInside = layout.headerSize >= 52;
  info.resize(layout.headerSize, 0);
  for (size_t i = 0; i < layout.masks.size(); ++i) {
    if (masksInside)
      Set32(&info, 40 + 4 * i, layout.masks[i]);
    else
      Put32(&info, layout.masks[i]);
  }
  for (uint32_t c : layout.palette) Put32(&info, c & 0xFFFFFF);

  ByteString file = {'B', 'M'};
  Put32(&file, static_cast<uint32_t>(14 + info.size() + pixelData.size()));
  Put32(&file, 0);
  Put32(&file, static_cast<uint32_t>(14 + info.size()));
  Append(&file, info);
  Append(&file, pixelData);
  return file;
}

ByteString MakeTgaFile(const TgaFileLayout& layout, const ByteString& pixelData) {
  const bool mapped = layout.imageType == 1 || layout.imageType == 9;
  ByteString file;
  file.push_back(static_cast<uint8_t>(layout.id.size()));
  file.push_back(mapped || !layout.colourMap.empty() ? 1 : 0);
  file.push_back(static_cast<uint8_t>(layout.imageType));
  Put16(&file, static_cast<uint32_t>(layout.mapFirst));
  Put16(&file, static_cast<uint32_t>(layout.mapLength));
  file.push_back(static_cast<uint8_t>(layout.mapEntryBits));
  Put16(&file, static_cast<uint32_t>(layout.xOrigin));
  Put16(&file, static_cast<uint32_t>(layout.yOrigin));
  Put16(&file, static_cast<uint32_t>(layout.width));
  Put16(&file, static_cast<uint32_t>(layout.height));
  file.push_back(static_cast<uint8_t>(layout.depth));
  file.push_back(static_cast<uint8_t>(layout.descriptor));
  Append(&file, layout.id);
  Append(&file, layout.colourMap);
  Append(&file, pixelData);
  if (layout.footer) {
    Put32(&file, 0);  // no extension area
    Put32(&file, 0);  // no developer area
    const char signature[] = "TRUEVISION-XFILE.";
    file.insert(file.end(), signature, signature + sizeof signature);  // with its NUL
  }
  return file;
}

ByteString EncodeTgaRuns(const ByteString& elements, int elementBytes) {
  const size_t count = elements.size() / elementBytes;
  auto same = [&](size_t a, size_t b) {
    return std::memcmp(&elements[a * elementBytes], &elements[b * elementBytes], elementBytes) == 0;
  };
  ByteString out;
  size_t i = 0;
  while (i < count) {
    size_t run = 1;
    while (i + run < count && run < 128 && same(i, i + run)) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
      out.insert(out.end(), elements.begin() + i * elementBytes,
                 elements.begin() + (i + 1) * elementBytes);
      i += run;
      continue;
    }
    size_t raw = 1;
    while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
      ++raw;
    out.push_back(static_cast<uint8_t>(raw - 1));
    out.insert(out.end(), elements.begin() + i * elementBytes,
               elements.begin() + (i + raw) * elementBytes);
    i += raw;
  }
  return out;
}

ByteString MakeDdsFile(const DdsFileLayout& layout, const ByteString& data) {
  ByteString h(124, 0);
  uint32_t flags = 0x1 | 0x2 | 0x4 | 0x1000;
  if (layout.mipCount > 0) flags |= 0x20000;
  if (layout.pitch != 0) flags |= 0x8;
  if (layout.fourCC) flags |= 0x80000;
  Set32(&h, 0, 124);
  Set32(&h, 4, flags);
  Set32(&h, 8, static_cast<uint32_t>(layout.height));
  Set32(&h, 12, static_cast<uint32_t>(layout.width));
  Set32(&h, 16,
        static_cast<uint32_t>(layout.pitch != 0
                                  ? layout.pitch
                                  : (layout.fourCC ? static_cast<int>(data.size()) : 0)));
  Set32(&h, 24, static_cast<uint32_t>(layout.mipCount));
  Set32(&h, 72, 32);
  if (layout.fourCC) {
    Set32(&h, 76, 0x4);
    std::memcpy(&h[80], layout.fourCC, 4);
  } else {
    Set32(&h, 76, 0x40 | (layout.masks[3] ? 0x1 : 0));
    Set32(&h, 84, static_cast<uint32_t>(layout.bitCount));
    for (int i = 0; i < 4; ++i) Set32(&h, 88 + 4 * i, layout.masks[i]);
  }
  Set32(&h, 104, 0x1000 | (layout.mipCount > 0 ? 0x8 | 0x400000 : 0));
  ByteString file;
  file.reserve(4 + h.size() + data.size());
  Append(&file, ByteString{'D', 'D', 'S', ' '});
  Append(&file, h);
  Append(&file, data);
  return file;
}

ByteString MakeBgraFile(uint32_t depthCode, uint32_t width, uint32_t height,
                        const ByteString& data) {
  ByteString file = {'B', 'G', 'R', 'A'};
  Put32(&file, depthCode);
  Put32(&file, width);
  Put32(&file, height);
  Append(&file, data);
  return file;
}

namespace {

void PngToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<ByteString*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void PngFixtureError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

bool WritePng(png_structp png, png_infop info, const PngFileLayout& layout,
              const std::vector<ByteString>& rows, ByteString* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, &PngToVector, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width),
               static_cast<png_uint_32>(layout.height), layout.bitDepth, layout.colourType,
               layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (uint32_t c : layout.palette)
    palette.push_back(png_color{static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                                static_cast<png_byte>(c)});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!layout.transparency.empty())
    png_set_tRNS(png, info, layout.transparency.data(),
                 static_cast<int>(layout.transparency.size()), nullptr);
  if (layout.transparentGrey >= 0) {
    png_color_16 grey{};
    grey.gray = static_cast<png_uint_16>(layout.transparentGrey);
    png_set_tRNS(png, info, nullptr, 0, &grey);
  }
  png_write_info(png, info);
  std::vector<png_bytep> pointers;
  for (const ByteString& row : rows) pointers.push_back(const_cast<png_bytep>(row.data()));
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  return true;
}

struct JpegFixtureError {
  jpeg_error_mgr manager;
  jmp_buf jump;
};

void JpegFixtureExit(j_common_ptr info) {
  longjmp(reinterpret_cast<JpegFixtureError*>(info->err)->jump, 1);
}

bool WriteJpeg(jpeg_compress_struct* info, int width, int height, int components,
               const ByteString& samples, int quality, unsigned char** buffer,
               unsigned long* size) {
  if (setjmp(reinterpret_cast<JpegFixtureError*>(info->err)->jump)) return false;
  jpeg_create_compress(info);
  jpeg_mem_dest(info, buffer, size);
  info->image_width = static_cast<JDIMENSION>(width);
  info->image_height = static_cast<JDIMENSION>(height);
  info->input_components = components;
  info->in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(info);
  jpeg_set_quality(info, quality, TRUE);
  jpeg_start_compress(info, TRUE);
  while (info->next_scanline < info->image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(
        &samples[static_cast<size_t>(info->next_scanline) * width * components]);
    jpeg_write_scanlines(info, &row, 1);
  }
  jpeg_finish_compress(info);
  return true;
}

}  // namespace

ByteString MakePngFile(const PngFileLayout& layout, const std::vector<ByteString>& rows) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, &PngFixtureError, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  ByteString out;
  const bool ok = png && info && WritePng(png, info, layout, rows, &out);
  png_destroy_write_struct(&png, &info);
  if (!ok) throw std::runtime_error("PNG fixture could not be written");
  return out;
}

ByteString MakeJpegFile(int width, int height, int components, const ByteString& samples,
                        int quality) {
  jpeg_compress_struct info;
  std::memset(&info, 0, sizeof info);
  JpegFixtureError errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = &JpegFixtureExit;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool ok = WriteJpeg(&info, width, height, components, samples, quality, &buffer, &size);
  jpeg_destroy_compress(&info);
  ByteString out;
  if (ok) out.assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok) throw std::runtime_error("JPEG fixture could not be written");
  return out;
}

void RepairPngChunkCrcs(ByteString* file) {
  ByteString& b = *file;
  size_t at = 8;
  while (at + 12 <= b.size()) {
    const uint32_t length = static_cast<uint32_t>(b[at]) << 24 |
                            static_cast<uint32_t>(b[at + 1]) << 16 |
                            static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
    if (length > b.size() - at - 12) return;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, &b[at + 4], length + 4));
    for (int i = 0; i < 4; ++i) b[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
}
