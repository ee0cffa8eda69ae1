#include "TextToNumber.h"
