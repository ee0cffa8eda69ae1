#include "Layout.h"
