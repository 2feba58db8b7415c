// Results of reading and saving a site file.
#pragma once

#include <cstdint>

enum : int16_t {
    SF_OK = 0,
    SF_OPEN_FAILED = -1,   // the system's error text goes under "File Open Error"
    SF_NOT_SITE_FILE = -2, // "Not a Site File." under "File Error"
    SF_UPDATE_FAILED = -3, // "Could not update site" under "Site Update Error"
    SF_SITE_REPLACED = -4, // another file is at the site's path: the survey goes to a new file
};
