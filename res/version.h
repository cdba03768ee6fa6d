/* The programs' version, for their version resources and for what they report. Plain
   #defines, so that the resource compiler reads them too. */
#ifndef VANTIK_RES_VERSION_H
#define VANTIK_RES_VERSION_H

#define VANTIK_VERSION_NUMBERS 1, 0, 0, 0
#define VANTIK_VERSION_TEXT "1.0.0.0"

#endif
