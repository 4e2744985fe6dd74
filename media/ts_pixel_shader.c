// Terrain fragment program: samples the terrain texture array (unit 0) with
// the world position projected along the face's dominant axis, one picture
// per four blocks, and shades with a fixed light. The face normal comes from
// the screen-space slopes of the world position; its sign depends on the
// view, so both sides are lit alike. Far from the eye, measured across the
// ground, the terrain fades into the fog colour (the sky's).
#version 130

uniform sampler2DArray terrain;
uniform vec3 eyePosition;
uniform vec4 fogColour;
uniform float fogStart;
uniform float fogInverseLength;

in vec3 worldPosition;
flat in float layer;

// normalize(vec3(0.3, 0.8, 0.5))
const vec3 lightDirection = vec3(0.30304576, 0.80812204, 0.50507627);
const float blocksPerPicture = 4.0;

vec3 faceNormal()
{
    vec3 normal = cross(dFdx(worldPosition), dFdy(worldPosition));
    return length(normal) > 0.0 ? normalize(normal) : vec3(0.0, 1.0, 0.0);
}

// Faces at 45 degrees are common; the slack keeps the rounding of the
// screen-space slopes from flipping their projection from pixel to pixel.
const float axisSlack = 1e-3;

vec4 terrainColour(vec3 normal)
{
    vec3 axis = abs(normal);
    vec2 uv;
    if (axis.y >= axis.x - axisSlack && axis.y >= axis.z - axisSlack)
        uv = worldPosition.xz;
    else if (axis.x >= axis.z - axisSlack)
        uv = worldPosition.zy;
    else
        uv = worldPosition.xy;
    return texture(terrain, vec3(uv / blocksPerPicture, floor(layer + 0.5)));
}

void main()
{
    vec3 normal = faceNormal();
    float light = 0.35 + 0.65 * abs(dot(normal, lightDirection));
    vec3 lit = terrainColour(normal).rgb * light;
    float distance = length(worldPosition.xz - eyePosition.xz);
    float fog = clamp((distance - fogStart) * fogInverseLength, 0.0, 1.0);
    gl_FragColor = vec4(mix(lit, fogColour.rgb, fog), 1.0);
}
