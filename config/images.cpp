// STUB: replaced by the image catalogue loader.
#include "config/images.h"

ImageCatalogue Images;
void ResetImageCatalogue() { Images = ImageCatalogue{}; }
void LoadGameImages() {}
