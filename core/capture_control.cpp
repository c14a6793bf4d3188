#include "core/capture_control.h"

namespace kestrel {

bool CutExists = false;

void StartScreenCut() {}

void RetryScreenCut() {}

void dsCopyToClipboard() {}

void ShowCutPicture() {}

}  // namespace kestrel
