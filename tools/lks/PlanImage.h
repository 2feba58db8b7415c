// Turns a floor-plan image file into the site picture format: 8 bits per pixel with a 256-entry
// colour table, transparent areas on white paper.
#pragma once

#include <string>

struct SitePicture;

// False with a short reason when the image cannot be read or converted.
bool LoadPlanPicture(const std::string& path, SitePicture& picture, std::string& error);
