// Terrain fragment program: samples the terrain texture array (unit 0) with
// the world position projected along the face's dominant axis, one picture
// per four blocks, and shades with a fixed light. Face normals may point
// into the ground, so both sides are lit alike.
#version 130

uniform sampler2DArray terrain;

in vec3 worldPosition;
in vec3 faceNormal;
in float layer;

// normalize(vec3(0.3, 0.8, 0.5))
const vec3 lightDirection = vec3(0.30304576, 0.80812204, 0.50507627);
const float blocksPerPicture = 4.0;

void main()
{
    vec3 normal = length(faceNormal) > 1e-6 ? normalize(faceNormal) : vec3(0.0, 1.0, 0.0);
    vec3 axis = abs(normal);
    vec2 uv;
    if (axis.y >= axis.x && axis.y >= axis.z)
        uv = worldPosition.xz;
    else if (axis.x >= axis.z)
        uv = worldPosition.zy;
    else
        uv = worldPosition.xy;
    vec4 colour = texture(terrain, vec3(uv / blocksPerPicture, floor(layer + 0.5)));
    float light = 0.35 + 0.65 * abs(dot(normal, lightDirection));
    gl_FragColor = vec4(colour.rgb * light, 1.0);
}
