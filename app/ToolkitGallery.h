#pragma once
// A screen listing the toolkit's widgets; a row pushes a page showing that
// widget with sample data (for the gallery program and screenshots).
#include "platform/uikit/UIViewController.h"

#include <memory>
#include <string>
#include <vector>

std::shared_ptr<UIViewController> makeToolkitGallery();
// The names of the rows, in order.
std::vector<std::string> toolkitGalleryNames();
// The page of one widget (null for an unknown name).
std::shared_ptr<UIViewController> makeToolkitGalleryPage(const std::string& name);
