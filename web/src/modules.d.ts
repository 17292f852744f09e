declare module 'kmp-core' {
  const createKmpCore: (options?: object) => Promise<unknown>;
  export default createKmpCore;
}

declare module 'kmp-window-texts' {
  const texts: {
    widgets: Record<string, Record<string, string | number>>;
    english: Record<string, string>;
  };
  export default texts;
}
