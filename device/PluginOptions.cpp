// The plug-in's option catalogue whole.
#include "PluginOptions.h"

#include "DeviceOptionRows.h"
#include "tracker/TransformOptionRows.h"

PluginOptions::PluginOptions() : lists{deviceOptionRows(), transformOptionRows()} {}

PluginOptions::Iterator PluginOptions::begin() const {
    Iterator first(*this, 0, 0);
    return lists[0].empty() ? ++first : first;
}

PluginOptions::Iterator& PluginOptions::Iterator::operator++() {
    ++row;
    while (list < listCount && row >= all.lists[list].size()) {
        ++list;
        row = 0;
    }
    return *this;
}

const OptionRow* findPluginOption(std::string_view keyword) {
    for (const OptionRow& option : PluginOptions()) {
        if (option.spelledAs(keyword)) {
            return &option;
        }
    }
    return nullptr;
}

const OptionRow& pluginOption(OptionTopic topic) {
    const PluginOptions all;
    for (const OptionRow& option : all) {
        if (option.topic == topic) {
            return option;
        }
    }
    // Every topic has a row, as the catalogue's test holds.
    return *all.begin(); // GCOVR_EXCL_LINE: so no call gets here
}
