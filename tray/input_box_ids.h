#pragma once
// Identifiers of the input box's controls, by which a test finds them too.
// Kept apart from res/resource_ids.h so the tray owns its dialog.

#define IDC_INPUTBOX_PROMPT 201
#define IDC_INPUTBOX_TEXT 202
