// Resource identifiers of quillet.exe.
#pragma once

#define IDI_QUILLET 1
#define IDC_QUILLET_HAND 101
