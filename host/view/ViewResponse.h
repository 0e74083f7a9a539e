// What the viewer sends for an answer: the response's header and its body, the
// page, a script, the event stream's start or a refusal with its status as the
// text. Every connection serves one request and says so.
#pragma once

#include "host/view/ViewRequestReader.h"

#include <cstddef>
#include <string>

struct ViewResponse {
    std::string head;
    const char* body = nullptr; // lives as long as the program
    std::size_t size = 0;       // of the body, 0 for HEAD
    bool stream = false;        // the event stream: its body comes as chunks
};

// The response to `answer`; 503 when `answer` asks for the event stream and no
// more streams may open (`full`).
ViewResponse viewResponse(const ViewAnswer& answer, bool full);
