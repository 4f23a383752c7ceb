#pragma once
#define QUILLORY_VERSION_BINARY 1, 0, 0, 0
#define QUILLORY_VERSION_TEXT "1.0.0.0"
#define QUILLORY_NAME "Quillory"
