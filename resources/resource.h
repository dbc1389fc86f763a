// Resource ids of Velkast.exe, shared by Velkast.rc and the C++ code.
// Plain #defines only, so that windres can read this file too.
#pragma once

// The program's icon, the first icon resource of the executable.
#define IDI_VELKAST 101

// Dialogs.
#define IDD_COPY 108  // the progress dialog shown while the files are copied
#define IDD_WAIT 109  // shown while the copy is being prepared

// Controls of the copy dialog.
#define IDC_TARGET_FOLDER 1047
#define IDC_PROGRESS 1048
#define IDC_START 1049
#define IDC_EXIT 1050
#define IDC_FILE_NAME 1051
#define IDC_TOTAL_BYTES 1052
#define IDC_HEADING 1053
#define IDC_COPIED_BYTES 1054
#define IDC_PERCENT 1055
