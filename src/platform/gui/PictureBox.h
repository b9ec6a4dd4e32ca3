#pragma once

#include <string>

class QLabel;

// Shows the picture held by `bytes` (the bytes of an image file) in `box`.
// Empty or undecodable bytes leave the box empty rather than showing the
// previous picture.
void ShowPicture(QLabel *box, const std::string &bytes);
