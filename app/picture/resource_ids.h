#pragma once

// Resource ids of the data carried inside the executable; included by C++ and by the resource
// script, so plain numbers only.
#define IDI_TONVIA 1
#define IDR_TUTORIAL_JPEG 2
