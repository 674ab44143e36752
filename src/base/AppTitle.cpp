// The application's title, shown on its message boxes.
#include "base/AppTitle.h"

std::string ApplicationTitle(std::string_view exePath) {
    size_t slash = exePath.find_last_of("\\/:");
    std::string_view name = slash == std::string_view::npos ? exePath : exePath.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (size_t i = 1; i < title.size(); ++i)
        if (title[i] >= 'A' && title[i] <= 'Z') title[i] = char(title[i] - 'A' + 'a');
    return title;
}
