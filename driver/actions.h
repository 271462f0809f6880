// The draw actions the renderer object installs in the host's action table.
// Each takes the renderer object first and the rendition second, like the
// host's standard routine of the same kind.
#pragma once

#include "host/device.h"

void OGL_Draw_DC_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
                          const HT_Point3D* points);
void OGL_Draw_DC_Colorized_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                    int count, const HT_Point3D* points, const HT_RGB32* colors,
                                    char one_color);
void OGL_Draw_DC_Gouraud_Polyline(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                  int count, const HT_Point3D* points, const HT_RGB32* colors);
void OGL_Draw_DC_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int count,
                              const HT_Point3D* points);
void OGL_Draw_DC_Colorized_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                        int count, const HT_Point3D* points,
                                        const HT_RGB32* colors, char one_color);
void OGL_Draw_DC_Gouraud_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                      int count, const HT_Point3D* points, const HT_RGB32* colors);
void OGL_Draw_DC_Textured_Polytriangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                                       int count, const HT_Point3D* points, const HT_RGB32* colors,
                                       const HT_Parameter* parameters, const float* vertex_values);
void OGL_Draw_DC_Rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left,
                           int right, int bottom, int top);
void OGL_Execute_DC_Rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left,
                              int right, int bottom, int top);
void OGL_Prepare_DC_Rectangle(HT_Renderer_Data* renderer, const HT_Rendition* rendition, int left,
                              int right, int bottom, int top);
void OGL_Draw_DC_Dot(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                     const HT_Point3D* point);
void OGL_Draw_DC_Colorized_Dot(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                               const HT_Point3D* point, const HT_RGB32* color);
void OGL_Draw_DC_Image(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                       const HT_Point3D* start, const HT_Point3D* end, int row_step,
                       const void* pixels);
void OGL_Write_DC_Depth(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                        const HT_Point3D* start, const HT_Point3D* end, int row_step,
                        const uint16_t* values);
void OGL_Read_DC_Color(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                       const HT_Point3D* start, const HT_Point3D* end, HT_Shared_Image& result);
void OGL_Read_DC_Depth(HT_Renderer_Data* renderer, const HT_Rendition* rendition,
                       const HT_Point3D* start, const HT_Point3D* end, HT_Shared_Image& result);
void OGL_Empty_Action(HT_Renderer_Data* renderer, const HT_Rendition* rendition);
