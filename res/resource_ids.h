#pragma once
// Identifiers of the program's resources, shared by Kestrel5.rc and the code.
// The first icon is also the program's icon in the file manager.

#define IDI_TRAY_256 1
#define IDI_TRAY_16 2
#define IDI_LOGO 3
