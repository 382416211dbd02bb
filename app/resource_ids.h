// Ids of the program's resources, shared by the resource script and the code.
#pragma once

#define IDI_TAVENRO 1
#define IDR_GROUP_BADGE 101
