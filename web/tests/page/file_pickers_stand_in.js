// Injected before the page's script: the File System Access pickers, backed
// by the test in Node (kmpPickOpen gives { name, bytes }, kmpSaved takes
// { name, bytes }).
(() => {
  const handle = (name, bytes) => ({
    name,
    getFile: async () => new File([new Uint8Array(bytes)], name),
    createWritable: async () => {
      const parts = [];
      return {
        write: async (data) => parts.push(...new Uint8Array(data)),
        close: async () => window.kmpSaved({ name, bytes: parts }),
      };
    },
  });
  window.showOpenFilePicker = async () => {
    const { name, bytes } = await window.kmpPickOpen();
    return [handle(name, bytes)];
  };
  window.showSaveFilePicker = async ({ suggestedName }) => handle(suggestedName, []);
})();
