// Identifiers shared by the resource script and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The notice for a missing Java runtime.
#define IDD_MSGFORM 100
#define IDC_MSG_GRAPHIC 101
#define IDC_MSG_LABEL1 102
#define IDC_MSG_LABEL2 103
#define IDC_MSG_LABEL3 104
#define IDC_MSG_LABEL4 105
#define IDC_MSG_LABEL5 106
#define IDC_MSG_LABEL6 107
