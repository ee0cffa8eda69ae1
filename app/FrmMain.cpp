#include "FrmMain.h"
