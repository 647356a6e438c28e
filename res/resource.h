// Identifiers shared by the program's code and its resource scripts.
// Control ids are unique within their own dialog only: 1024-1048 are flag
// checkboxes in the structure pane and shape cells in the tile pane.
#pragma once

// Resources of the main frame: menu, accelerators, toolbar, bitmap, icon, title.
#define IDR_MAINFRAME 128
// The toolbar and its bitmap again, drawn for 125, 150 and 200 % (120, 144
// and 192 DPI); IDR_MAINFRAME's are the 100 % ones.
#define IDR_MAINFRAME_125 130
#define IDR_MAINFRAME_150 131
#define IDR_MAINFRAME_200 132

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_EDITOR_VIEW 129
#define IDD_STRUCTURE_PANE 201
#define IDD_TILE_PANE 202

// Editor view controls.
#define IDC_ADD_STRUCT 1001
#define IDC_DELETE 1002
#define IDC_STRUCTURE_TREE 1011
#define IDC_ADD_TILE 1018

// Structure pane: integer fields, and the flag checkboxes 1022 + bit.
#define IDC_ARMOUR 1003
#define IDC_HIT_POINTS 1004
#define IDC_DENSITY 1005
#define IDC_WALL_ORIENTATION 1006
#define IDC_DESTRUCTION_PARTNER 1007
#define IDC_PARTNER_DELTA 1008
#define IDC_Z_TILE_OFFSET_X 1009
#define IDC_Z_TILE_OFFSET_Y 1010
#define IDC_FIRST_FLAG 1022
#define IDC_LAST_FLAG 1053

// Tile pane: integer fields, the two tile flags, and the shape cells 1024 + byte.
#define IDC_S_POS_REL_TO_BASE 1013
#define IDC_B_X_POS_REL_TO_BASE 1014
#define IDC_B_Y_POS_REL_TO_BASE 1015
#define IDC_TILE_ON_ROOF 1016
#define IDC_TILE_PASSABLE 1017
#define IDC_UB_VEHICLE_HIT_LOCATION 1019
#define IDC_FIRST_SHAPE_CELL 1024
#define IDC_LAST_SHAPE_CELL 1048

// Commands: one id names the menu item, the toolbar button, the accelerator
// target and the string with its menu help and tooltip.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
#define ID_FILE_PRINT 57607
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393

// Strings.
#define IDS_READY 57345

// Child window ids of the frame's bars.
#define IDW_TOOLBAR 59392
#define IDW_STATUS_BAR 59393
