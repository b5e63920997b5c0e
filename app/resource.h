/* Resource identifiers, shared by tessoral.rc and the C++ code. */
#ifndef TESSORAL_APP_RESOURCE_H
#define TESSORAL_APP_RESOURCE_H

#define IDI_TESSORAL 1
#define IDI_PADLOCK 2

#endif
