// Choosing face files with fontconfig: the stand-in Japanese face for the names the system asks
// for, any other installed family by its name.
#include <fontconfig/fontconfig.h>

#include <cstring>

#include "port/gdi/font_internal.h"
#include "port/kernel/cp932_text.h"

namespace {

// IPA Gothic (fonts-ipafont-gothic) stands in for the Japanese system faces.
constexpr char kStandInFamily[] = "IPAGothic";

const char* LanguageOfCharset(int charset) {
  switch (charset) {
    case SHIFTJIS_CHARSET:
      return "ja";
    case HANGUL_CHARSET:
      return "ko";
    case GB2312_CHARSET:
      return "zh-cn";
    case CHINESEBIG5_CHARSET:
      return "zh-tw";
    default:
      return nullptr;
  }
}

bool HasFamily(FcPattern* font, const char* family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family)) == 0) return true;
  return false;
}

bool HasLanguage(FcPattern* font, const char* language) {
  FcLangSet* languages = nullptr;
  return FcPatternGetLangSet(font, FC_LANG, 0, &languages) == FcResultMatch &&
         FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>(language)) !=
             FcLangDifferentLang;
}

// The best outline face of the family, or false when fontconfig knows no such family (its best
// match is then some other family) or, given a required language, when the face lacks it.
bool MatchFamily(const char* family, const char* language, bool languageRequired, int weight,
                 PortFaceFile* out) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  if (language) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);  // italic is always made by a shear
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* font = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!font) return false;
  FcChar8* file = nullptr;
  FcBool outline = FcFalse;
  int index = 0, faceWeight = FC_WEIGHT_REGULAR;
  bool found = HasFamily(font, family) &&
               FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch &&
               FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch && outline &&
               (!languageRequired || HasLanguage(font, language));
  if (found) {
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FcPatternGetInteger(font, FC_WEIGHT, 0, &faceWeight);
    out->path = reinterpret_cast<const char*>(file);
    out->index = index;
    out->weight = FcWeightToOpenType(faceWeight);
  }
  FcPatternDestroy(font);
  return found;
}

}  // namespace

bool PortFindFaceFileLocked(const char* face, int charset, int weight, PortFaceFile* out) {
  if (!FcInit()) return false;
  const std::string name = face ? PortCp932ToUtf8(face) : std::string();
  const bool standIn = name.empty() || name == reinterpret_cast<const char*>(u8"ＭＳ ゴシック");
  // A Japanese charset needs a face with Japanese glyphs, as GDI would pick one.
  if (!standIn && MatchFamily(name.c_str(), LanguageOfCharset(charset), charset == SHIFTJIS_CHARSET,
                              weight, out))
    return true;
  return MatchFamily(kStandInFamily, nullptr, false, weight, out);
}
