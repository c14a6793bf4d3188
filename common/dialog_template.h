#pragma once
// An in-memory dialog template without controls: the forms place their
// children in pixels when they load.

#include <windows.h>

#include <vector>

namespace kestrel {

// The template's words: the style, no menu, the standard dialog class and
// the caption; with DS_SETFONT in the style, also the font's points and face.
inline std::vector<WORD> EmptyDialogTemplate(DWORD style, const wchar_t* caption,
                                             WORD fontPoints = 0,
                                             const wchar_t* fontFace = nullptr) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  reinterpret_cast<DLGTEMPLATE*>(words.data())->style = style;
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  for (const wchar_t* c = caption; *c; ++c) words.push_back(static_cast<WORD>(*c));
  words.push_back(0);
  if (style & DS_SETFONT) {
    words.push_back(fontPoints);
    for (const wchar_t* c = fontFace; c && *c; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
  }
  return words;
}

}  // namespace kestrel
