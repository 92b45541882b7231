// Resource, control, menu and command identifiers shared by the code and res/quillmere.rc.
#pragma once

// Resources
#define IDI_APP_SIZES 1   // program icon drawn for 8 sizes, 32-bit; the lowest id: the file's icon
#define IDI_APP 103       // program icon
#define IDD_MAIN 105      // main window
#define IDD_ABOUT 107     // About box
#define IDR_TRAY_MENU 110 // tray icon menu
#define IDC_HAND_CURSOR 137

// Main window controls (dialog 105)
#define IDC_MAIN_BUTTON 1       // IDOK: confirm settings or exit
#define IDC_ESCAPE 2            // IDCANCEL: the Esc key, acts as Restore
#define IDC_OPAQUE 3            // opaque state button
#define IDC_AUTOSTART 1000      // start with Windows
#define IDC_TRANSPARENT 1001    // transparent state button
#define IDC_COLOR_BUTTON 1002   // opens the colour dialog
#define IDC_TRAY_CHECK 1003     // show the tray icon
#define IDC_PREVIEW 1004        // colour preview
#define IDC_ADVANCED 1014       // folds the advanced panel
#define IDC_ABOUT 1015          // opens the About box
#define IDC_DROPDOWN 1016       // opens the named colour menu
#define IDC_RESTORE 1017        // reloads the saved settings
#define IDC_COLLAPSED_MARK 1018 // top edge: bottom of the collapsed window
#define IDC_EXPANDED_MARK 1020  // bottom edge: bottom of the expanded window
#define IDC_STYLE_NORMAL 1023
#define IDC_STYLE_EMBOSSED 1024
#define IDC_STYLE_ENGRAVED 1025
#define IDC_STYLE_SHADOW 1026

// About box (dialog 107)
#define IDC_ABOUT_LINK 1021

// Tray menu commands (menu 110); it also reuses IDC_TRANSPARENT, IDC_OPAQUE and IDC_ABOUT
#define IDM_SHOW_WINDOW 40001
#define IDM_EXIT 40002
#define IDM_HIDE_WINDOW 40005

// Named colour menu commands: first palette entry, and the end of the reserved range
#define IDM_COLOR_FIRST 7000
#define IDM_COLOR_LAST 7099
