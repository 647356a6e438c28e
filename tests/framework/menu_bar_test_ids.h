// Resource ids of the menu bar tests.
#pragma once

#define IDR_TEST_MENU 300
// A toolbar and its bitmap: three images for New, Open and Save As.
#define IDR_TEST_IMAGES 300
// The same three images for four commands: the last goes without.
#define IDR_SHORT_STRIP 301
// A version 2 toolbar resource, which nobody reads.
#define IDR_BAD_VERSION 302
// A toolbar resource without a bitmap.
#define IDR_NO_BITMAP 303

#define ID_TEST_NEW 57600
#define ID_TEST_OPEN 57601
#define ID_TEST_SAVE_AS 57604
#define ID_TEST_EXIT 57665
#define ID_TEST_ROW 40001
#define ID_TEST_COLUMN 40002
#define ID_TEST_COPY 57634
#define ID_TEST_DIRECT 40010
#define ID_TEST_TOOLBAR 59392
#define ID_TEST_STATUS_BAR 59393
#define ID_TEST_ABOUT 57664
