#pragma once

// Before the application object: the window is laid out in pixels of 1/96 inch and the toolkit
// scales it to the screen, with images drawn at the screen's resolution.
void EnableHighDpiScaling();
