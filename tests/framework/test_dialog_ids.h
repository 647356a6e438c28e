#pragma once

#define IDD_TEST_FORM 900
#define IDD_TEST_BOX 901
#define IDC_TEST_EDIT 910
#define IDC_TEST_BUTTON 911
