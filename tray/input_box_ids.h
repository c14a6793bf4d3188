#pragma once
// Identifiers of the input box's dialog template, shared by input_box.rc and
// the code. Kept apart from res/resource_ids.h so the tray owns its dialog.

#define IDD_INPUTBOX 200
#define IDC_INPUTBOX_PROMPT 201
#define IDC_INPUTBOX_TEXT 202
