// The host's standard software routines: they draw what a device cannot, by
// breaking it into what it can and sending that back through the device's own
// action table. Each takes exactly the arguments of the device action of the
// same kind.
#pragma once

#include "host/device.h"

void HD_Standard_Draw_DC_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                  int count, const HT_Point3D* points);
void HD_Standard_Draw_DC_Colorized_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                            int count, const HT_Point3D* points,
                                            const HT_RGB32* colors, char one_color);
void HD_Standard_Draw_DC_Gouraud_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                          int count, const HT_Point3D* points, const HT_RGB32* colors);
void HD_Standard_Draw_DC_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                      int count, const HT_Point3D* points);
void HD_Standard_Draw_DC_Colorized_Polytriangle(HT_Renderer_Data* renderer,
                                                const HT_Rendition* rendition, int count,
                                                const HT_Point3D* points, const HT_RGB32* colors,
                                                char one_color);
void HD_Standard_Draw_DC_Gouraud_Polytriangle(HT_Renderer_Data* renderer,
                                              const HT_Rendition* rendition, int count,
                                              const HT_Point3D* points, const HT_RGB32* colors);
void HD_Standard_Draw_DC_Textured_Polytriangle(HT_Renderer_Data* renderer,
                                               const HT_Rendition* rendition, int count,
                                               const HT_Point3D* points, const HT_RGB32* colors,
                                               const HT_Parameter* parameters,
                                               const float* vertex_values);
void HD_Standard_Draw_DC_Rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                   int left, int right, int bottom, int top);
