#pragma once

/* One VISA interface definition for the whole project: the header our own implementation
 * ships, written from the published VISA constants. */
#include "visa.h"
