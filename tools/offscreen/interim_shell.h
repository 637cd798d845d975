// INTERIM until the shell lands: stand-ins for resizeView, initRenderState and runFrame.
#pragma once
void resizeView(int width, int height);
bool initRenderState();
bool runFrame();
