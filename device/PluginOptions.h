// The plug-in's option catalogue whole: the device's own options and the transform
// options, each found by any of its spellings.
#pragma once

#include <cstddef>
#include <string_view>

#include "support/OptionCatalogue.h"

// The option spelled `keyword`, in any letter case; null when the plug-in has none.
const OptionRow* findPluginOption(std::string_view keyword);

// The option of `topic`; every topic has one.
const OptionRow& pluginOption(OptionTopic topic);

// Every option of the plug-in, the device's own first: for (const OptionRow& option :
// PluginOptions()).
class PluginOptions {
public:
    class Iterator {
    public:
        Iterator(const PluginOptions& all, std::size_t list, std::size_t row)
            : all(all), list(list), row(row) {}
        const OptionRow& operator*() const { return all.lists[list][row]; }
        Iterator& operator++();
        bool operator!=(const Iterator& other) const {
            return list != other.list || row != other.row;
        }

    private:
        const PluginOptions& all;
        std::size_t list;
        std::size_t row;
    };

    PluginOptions();
    Iterator begin() const;
    Iterator end() const { return {*this, listCount, 0}; }

private:
    static constexpr std::size_t listCount = 2;
    OptionList<OptionRow> lists[listCount];
};
