// Dialog templates of the framework tests.
#pragma once

#define IDD_TEST_HOST 9001
#define IDD_TEST_CHILD 9002
#define IDC_TEST_BUTTON 9101
#define IDC_TEST_OWNER_DRAWN 9102
#define IDC_TEST_STATIC 9103
#define IDC_TEST_EDIT 9104
