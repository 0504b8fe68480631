#ifndef RESOURCES_VERSION_H
#define RESOURCES_VERSION_H

// The program's version; every language module must carry the same
// "ProductVersion" to be accepted.
#define TIV_FILE_VERSION 1, 0, 0, 11
#define TIV_PRODUCT_VERSION "1.0.0b11"

#endif
